// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "world/gamestate.h"
#include "resources/resourcemanager.h"

#include <cstdint>
#include <limits>
#include <memory>
#include <string>

class Camera;
class Heightmap;
class Player;
class SceneManager;
class Sound;
class Texture2D;
class TokenReader;

// One round of a level: the view scrolls right along the terrain by itself,
// ever faster, and the explosion at the left screen edge moves with it. The
// round ends when the explosion catches the player, when the player is on or
// above low ground, or when the player reaches the far end; how far the
// player got decides the medal.
//
// The level file holds a free first line, then the height-field description
// file, the background picture and the base scroll speed, separated by white
// space.
class Game {
public:
    static constexpr float playerStartX = 45.0f;
    static constexpr float cameraStartX = -65.0f;
    static constexpr float cameraStartY = -33.0f;
    static constexpr float cameraStartZ = -77.0f;
    // Scrolling stops once the view centre is this far before the far end.
    static constexpr float scrollEndMargin = 80.0f;
    static constexpr float scrollStepFactor = 0.1f;      // per millisecond and unit of speed
    static constexpr float speedIncreaseFactor = 0.002f; // per millisecond and unit of base speed
    // The explosion catches the player this far left of the view centre.
    static constexpr float catchDistance = 55.0f;
    static constexpr float explosionBandWidth = 25.0f; // pixels
    static constexpr const char* explosionTextureFile = "resources/textures/explosion.png";
    static constexpr const char* explosionSoundFile = "resources/sounds/explosion.wav";

    // What a level file names.
    struct LevelFile {
        std::string heightFieldName;
        std::string backgroundName;
        float baseSpeed = 0.0f; // finite
    };
    // Reads a level file's text from the reader. Throws std::runtime_error
    // naming the reader's file when no finite scroll speed follows the names.
    static LevelFile readLevelFile(TokenReader& reader);

    Game();
    // Gives back whatever stop() has not.
    virtual ~Game();
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // Reads the level and builds the round: terrain, background, explosion,
    // the player at x 45 on the middle line and the camera at its start.
    // Throws std::runtime_error when the level file cannot be opened, when
    // it has no finite scroll speed, or when its terrain has no finite,
    // positive length; the level is not played then.
    virtual void start(const std::string& levelFile);
    // One frame: the held keys, scrolling, the jump, landing, the end tests
    // and the drawing. Answers RUNNING until the round ends, then the result.
    // Does nothing before start() and after stop().
    virtual GAME_STATE update();
    // Draws the round as it stands without moving anything: the frame of a
    // paused round. Does nothing before start() and after stop().
    void draw();
    // Gives every hold back; the object may then be destroyed.
    virtual void stop();

    GAME_STATE getState() const { return state; }
    float getBaseSpeed() const { return baseSpeed; }
    float getScrollSpeed() const { return scrollSpeed; }
    const std::string& getLevelFile() const { return levelFile; }
    const std::string& getBackgroundName() const { return backgroundName; }
    // Null before start() and after stop(). The player and the camera may be
    // moved by tools and tests that stage a situation.
    const Heightmap* getTerrain() const;
    Player* getPlayer() { return player.get(); }
    const Player* getPlayer() const { return player.get(); }
    Camera* getCamera() { return camera.get(); }
    const Camera* getCamera() const { return camera.get(); }
    const SceneManager* getSceneManager() const { return sceneManager.get(); }

private:
    void readLevel(const std::string& fileName, std::string& heightFieldName);
    void checkTerrain() const;
    void placePlayer();
    void handleKey(int32_t sym);
    void snapToGround();
    void scroll(float frameMs);
    void landIfGrounded();
    void testEndOfRound();
    GAME_STATE medalAt(float px, bool farEndReached) const;
    void drawExplosion() const;

    std::unique_ptr<SceneManager> sceneManager;
    Held<Heightmap> terrain;
    std::unique_ptr<Player> player;
    std::unique_ptr<Camera> camera;
    Held<Texture2D> background;
    Held<Texture2D> explosionTexture;
    Held<Sound> explosionSound;
    float baseSpeed = std::numeric_limits<float>::quiet_NaN();
    std::string levelFile;
    std::string backgroundName;
    float scrollSpeed = std::numeric_limits<float>::quiet_NaN();
    GAME_STATE state = GAME_STATE::RUNNING;
};
