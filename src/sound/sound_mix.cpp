// Engine pitch and loudness, panning, headroom and the engine resampler.
#include "sound/sound_mix.h"

#include <cmath>

static float SpeedShare(float wheelSpeed, float maxWheelSpeed)
{
    if (!(maxWheelSpeed > 0.0f))
        return 0.0f;
    float share = fabsf(wheelSpeed) / maxWheelSpeed;
    if (!(share < 1.0f))  // also a NaN speed
        share = std::isnan(share) ? 0.0f : 1.0f;
    return share;
}

float EngineRate(float wheelSpeed, float maxWheelSpeed)
{
    return 0.6f + 1.3f * SpeedShare(wheelSpeed, maxWheelSpeed);
}

float EngineLoudness(float wheelSpeed, float maxWheelSpeed, float distance)
{
    const float d = distance > 0.0f ? distance / 10.0f : 0.0f;
    return (0.4f + 0.6f * SpeedShare(wheelSpeed, maxWheelSpeed)) / (1.0f + d * d);
}

void ViewPan(int32_t screenmode, uint32_t view, float* left, float* right)
{
    *left = *right = 1.0f;
    bool onLeft;
    if (screenmode == 1)
        onLeft = view == 0;
    else if (screenmode == 2)
        onLeft = view % 2 == 0;
    else
        return;
    // The far side keeps a little, so that no one hears nothing of their car.
    if (onLeft)
        *right = 0.3f;
    else
        *left = 0.3f;
}

float HeadroomScale(const float* peaks, const int* volumes, int count, float limit)
{
    float sum = 0.0f;
    for (int i = 0; i < count; i++)
        if (volumes[i] > 0 && peaks[i] > 0.0f)
            sum += peaks[i] * (float)volumes[i] / 128.0f;
    return sum > limit ? limit / sum : 1.0f;
}

void ResampleLoop(const int16_t* loop, uint32_t frames, double* phase, float rate, float left, float right,
                  int16_t* out, uint32_t outFrames)
{
    if (frames == 0) {
        for (uint32_t n = 0; n < outFrames * 2; n++)
            out[n] = 0;
        return;
    }
    double p = *phase;
    if (!(p >= 0.0 && p < (double)frames))
        p = 0.0;
    for (uint32_t n = 0; n < outFrames; n++) {
        const uint32_t i = (uint32_t)p;
        const uint32_t j = i + 1 < frames ? i + 1 : 0;
        const float f = (float)(p - (double)i);
        const float v = (float)loop[2 * i] * (1.0f - f) + (float)loop[2 * j] * f;
        out[2 * n] = (int16_t)lrintf(fmaxf(-32768.0f, fminf(32767.0f, v * left)));
        out[2 * n + 1] = (int16_t)lrintf(fmaxf(-32768.0f, fminf(32767.0f, v * right)));
        p += rate;
        while (p >= (double)frames)
            p -= (double)frames;
    }
    *phase = p;
}
