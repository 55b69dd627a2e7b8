// UpdateState and DrawState: the dispatch of the game's state machine, the
// race-over test, the Escape latch, the fade between screens and the choice
// of music.
#include <GL/gl.h>

#include "app/clock.h"
#include "game/game_state.h"
#include "game/menus.h"
#include "game/prefs.h"
#include "game/recording.h"
#include "input/devices.h"
#include "input/keymap.h"
#include "input/pads.h"
#include "net/net_session.h"
#include "race/race.h"
#include "render/gl_util.h"
#include "render/race_frame.h"
#include "sound/sound.h"

void UpdateState()
{
    const double dt = 1.0 / gClock.stepRate;
    // A menu screen brightens from black in about 0.57 s.
    if (gGame.fade < 1.0f && gGame.state != QuitFading && gGame.state != Quit)
        gGame.fade += (float)(1.75 * dt);
    if (!IsRaceState(gGame.state))
        gPads.pausedPlayer = -1;  // the next race starts without waiting
    switch (gGame.state) {
    case MainMenu:
    case QuitFading:
        if (gGame.state == QuitFading && gGame.fade > 0.0f)
            gGame.fade -= (float)(0.5 * dt);  // two seconds to black
        UpdateMainMenu();
        break;
    case SingleRaceSetup:
        UpdateRaceSetup(true);
        break;
    case TournamentSetup:
        UpdateRaceSetup(false);
        break;
    case MultiplayerMenu:
    case HostLobby:
    case ClientLobby:
        UpdateMultiplayerMenu();
        break;
    case OptionsMenu:
    case AudioOptions:
    case GraphicsOptions:
    case ControllerOptions:
        UpdateOptions();
        break;
    case Credits:
        UpdateCredits();
        break;
    case Race:
        if (gWatch.active) {
            WatchStep();
            if (gGame.state == RaceResults)  // the recording has ended
                BeginResults();
        } else if (!RaceWaitsForPad()) {  // held while a player's pad is unplugged
            RecordRaceStep();
            UpdateRace(kRaceDriving);
        }
        break;
    case RaceMenu:
        UpdateRace(kRacePaused);
        UpdateRaceMenu();
        break;
    case RaceResults:
        UpdateRace(kRaceResults);
        UpdateResults();
        break;
    default:  // 14 and 16: the main loop acts on them
        break;
    }
}

// Darkens the whole screen to `fade` of its brightness.
static void DrawFade(float fade)
{
    SetOrtho2D(1, 1);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ZERO, GL_SRC_COLOR);
    glColor3f(fade, fade, fade);
    FlatQuad(0, 0, 1, 1);
    glDisable(GL_BLEND);
    glColor3f(1, 1, 1);
}

// Menu music in the menus (faded with the picture while quitting), race
// music in the race states.  Only the music that plays stays loaded (each
// is over 4 MB of sound): the other is freed, and read again when its
// states come back.
static void PlayStateMusic()
{
    if (!IsRaceState(gGame.state)) {
        int32_t volume = gPrefs.musicvolume;
        if (gGame.state == QuitFading)
            gPrefs.musicvolume = (int32_t)((float)volume * (gGame.fade > 0.0f ? gGame.fade : 0.0f));
        StopChannel(gGame.raceChannel);
        FreeSample(&gGame.raceMusic);
        if (gGame.menuMusic == 0 && SoundOn())
            LoadSample("data/music/menu.wav", &gGame.menuMusic, true);
        PlaySample(gGame.menuMusic, &gGame.menuChannel, false, false);
        gPrefs.musicvolume = volume;
        if (gGame.fade < 1.0f)
            DrawFade(gGame.fade > 0.0f ? gGame.fade : 0.0f);
    } else {
        StopChannel(gGame.menuChannel);
        FreeSample(&gGame.menuMusic);
        if (gGame.raceMusic == 0 && SoundOn())
            LoadSample("data/music/race.wav", &gGame.raceMusic, true);
        gGame.fade = 0.0f;  // the next menu screen brightens from black
        PlaySample(gGame.raceMusic, &gGame.raceChannel, false, false);
    }
}

bool BackPressed()
{
    return (KeyDown(kKeyEscape) && gGame.escapeLatch) || AnyPadPressed(kPadBackButton);
}

void DrawState()
{
    bool escapeDown = KeyDown(kKeyEscape);
    if (!escapeDown)
        gGame.escapeLatch = 1;
    // A player who switches to another window finds a local race paused in
    // its menu; a demonstration runs on, and a network race cannot wait.
    const bool pauseForFocus = windowFocusLost && !gGame.demo && gNet.role == kRoleNone;
    windowFocusLost = 0;
    if (!IsRaceState(gGame.state) && gGame.state != Quit && gGame.state != ApplyGraphics)
        DrawBackground();
    // A pad's Start pauses a race and goes on with it, as Escape does.
    const bool padStart = AnyPadPressed(kPadStartButton);
    BeginMenuFrame();

    switch (gGame.state) {
    case MainMenu:
    case QuitFading:
        if (gGame.state == QuitFading && gGame.fade <= 0.0f) {
            StopChannel(gGame.menuChannel);
            gGame.state = Quit;
            return;
        }
        DrawMainMenu();
        break;
    case SingleRaceSetup:
        DrawRaceSetup(true);
        break;
    case TournamentSetup:
        DrawRaceSetup(false);
        break;
    case MultiplayerMenu:
    case HostLobby:
    case ClientLobby:
        DrawMultiplayerMenu();
        break;
    case OptionsMenu:
    case AudioOptions:
    case GraphicsOptions:
    case ControllerOptions:
        DrawOptions();
        break;
    case Race:
        RenderRaceFrame();
        if (gWatch.active) {
            // A recording ends after its last step, not by the race-over test.
            WatchKeys();
            if (escapeDown && gGame.escapeLatch)
                gGame.state = MainMenu;
        } else if (RaceIsOver()) {
            FinishRace(gGame.tournament != 0);
            EndRaceRecording(true);
            BeginResults();
            gGame.state = RaceResults;
        } else if ((escapeDown && gGame.escapeLatch) || padStart || pauseForFocus) {
            gGame.state = RaceMenu;
        }
        break;
    case RaceMenu:
        RenderRaceFrame();
        DimScreen();
        DrawRaceMenu();
        if (gGame.state == RaceMenu && ((escapeDown && gGame.escapeLatch) || padStart ||
                                         AnyPadPressed(kPadBackButton)))
            gGame.state = Race;
        break;
    case RaceResults:
        RenderRaceFrame();
        if (!RaceOverShowing())
            DimScreen();
        DrawResults();
        break;
    case Credits:
        DrawCredits();
        break;
    default:  // 14 and 16 draw nothing
        return;
    }

    // No pointer over a race, nor over its "Race over": the results' buttons
    // come after it.
    if (gGame.state != Race && !(gGame.state == RaceResults && RaceOverShowing()))
        DrawPointer();
    if (escapeDown && gGame.escapeLatch)
        gGame.escapeLatch = 0;
    if (gGame.state != Quit && gGame.state != ApplyGraphics)
        PlayStateMusic();
}
