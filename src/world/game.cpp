// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "world/game.h"

#include "world/camera.h"
#include "engine/config.h"
#include "world/heightmap.h"
#include "engine/input.h"
#include "world/player.h"
#include "engine/renderer.h"
#include "resources/resourcemanager.h"
#include "world/roundrules.h"
#include "world/scenemanager.h"
#include "resources/sound.h"
#include "resources/texture2d.h"
#include "engine/timer.h"
#include "engine/tokenreader.h"

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>

#include <cmath>
#include <stdexcept>
#include <utility>

Game::Game() = default;

Game::~Game()
{
    stop();
}

void Game::start(const std::string& fileName)
{
    stop(); // a second start must not strand the first round's holds
    std::string heightFieldName;
    readLevel(fileName, heightFieldName);
    state = GAME_STATE::RUNNING;
    scrollSpeed = baseSpeed;

    sceneManager = std::make_unique<SceneManager>();
    sceneManager->init();
    terrain = Held<Heightmap>(heightFieldName);
    checkTerrain();
    sceneManager->addTerrain(terrain.get());
    background = Held<Texture2D>(backgroundName);
    sceneManager->setBackground(background.get());
    explosionTexture = Held<Texture2D>(explosionTextureFile);
    explosionSound = Held<Sound>(explosionSoundFile);
    if (explosionSound->getChunk())
        Mix_PlayChannelTimed(-1, explosionSound->getChunk(), 0, -1);

    placePlayer();
    camera = std::make_unique<Camera>(cameraStartX, cameraStartY, cameraStartZ);
    sceneManager->setCamera(camera.get());
}

Game::LevelFile Game::readLevelFile(TokenReader& reader)
{
    LevelFile level;
    reader.readLine(); // a free title line
    level.heightFieldName = reader.readString();
    level.backgroundName = reader.readString();
    level.baseSpeed = reader.readFloat();
    // Without a usable speed the camera's x would turn NaN at the first
    // scroll and the explosion could never catch anybody.
    if (!reader.lastNumberFound() || !std::isfinite(level.baseSpeed))
        throw std::runtime_error("src/game: Level file '" + reader.getFileName() + "' gives no scroll speed");
    return level;
}

void Game::readLevel(const std::string& fileName, std::string& heightFieldName)
{
    TokenReader reader(fileName);
    LevelFile level = readLevelFile(reader);
    levelFile = fileName;
    backgroundName = std::move(level.backgroundName);
    baseSpeed = level.baseSpeed;
    heightFieldName = std::move(level.heightFieldName);
}

// A terrain without length would end the round at once with gold (length 0)
// or never end it (NaN), so such a level is refused. The holds taken so far
// go back through stop().
void Game::checkTerrain() const
{
    const float length = terrain->getLengthX();
    if (std::isfinite(length) && length > 0.0f && std::isfinite(terrain->getLengthY())
        && std::isfinite(terrain->getMaxHeight()))
        return;
    throw std::runtime_error("src/game: Level file '" + levelFile + "' names a terrain without usable size: '"
                             + terrain->getName() + "'");
}

void Game::placePlayer()
{
    player = std::make_unique<Player>();
    player->loadResources();
    const float y = 0.5f * terrain->getLengthY();
    player->setPosition(playerStartX, y, terrain->heightAt(playerStartX, y));
    sceneManager->addObject(player.get());
}

const Heightmap* Game::getTerrain() const
{
    return terrain.get();
}

GAME_STATE Game::update()
{
    if (!player)
        return state;
    for (const KeyRecord& key : Input::getInstance().getKeys())
        handleKey(key.sym);
    scroll(static_cast<float>(Timer::getInstance().getDelta()));
    player->update();
    landIfGrounded();
    testEndOfRound();
    draw();
    return state;
}

void Game::draw()
{
    if (!sceneManager)
        return;
    sceneManager->render();
    drawExplosion();
}

// Every held key acts, in the order of the held-key list, so two keys with
// the same effect act twice and opposite ones cancel.
void Game::handleKey(int32_t sym)
{
    switch (sym) {
    case SDLK_d:
    case SDLK_RIGHT:
        player->moveRight();
        snapToGround();
        break;
    case SDLK_a:
    case SDLK_LEFT:
        player->moveLeft();
        snapToGround();
        break;
    case SDLK_SPACE:
    case SDLK_UP:
    case SDLK_w:
        if (!player->isFalling())
            player->jump();
        break;
    default:
        break;
    }
}

// Walking follows the ground at any slope; a jump leaves it.
void Game::snapToGround()
{
    if (!player->isJumping())
        player->setZ(terrain->heightAt(player->getX(), player->getY()));
}

// The view centre moves right at 100 scrollSpeed units a second, and the
// speed grows linearly with time, until the centre is scrollEndMargin before
// the far end.
void Game::scroll(float frameMs)
{
    if (camera->getX() > scrollEndMargin - terrain->getLengthX()) {
        camera->setX(camera->getX() - scrollSpeed * frameMs * scrollStepFactor);
        scrollSpeed = scrollSpeed + frameMs * baseSpeed * speedIncreaseFactor;
    }
}

// A jump ends where the player has come below the ground, rising or falling.
void Game::landIfGrounded()
{
    if (!player->isJumping())
        return;
    const float ground = terrain->heightAt(player->getX(), player->getY());
    if (RoundRules::landsOn(player->getZ(), ground)) {
        player->land();
        player->setZ(ground);
    }
}

void Game::testEndOfRound()
{
    const float length = terrain->getLengthX();
    const float px = player->getX();
    const bool onLowGround = RoundRules::isLowGround(player->getZ(), terrain->getMaxHeight());
    const bool farEndReached = RoundRules::reachesFarEnd(px, length);
    const bool caught = px <= -camera->getX() - catchDistance;
    if (onLowGround || farEndReached || caught)
        state = medalAt(px, farEndReached);
}

GAME_STATE Game::medalAt(float px, bool farEndReached) const
{
    return RoundRules::medalAt(px, terrain->getLengthX(), farEndReached);
}

// A fiery band over the whole height of the left screen edge; the view
// moving under it is what makes it advance over the terrain.
void Game::drawExplosion() const
{
    const auto height = static_cast<float>(Config::get("renderer_height"));
    Renderer& renderer = Renderer::getInstance();
    renderer.setOrtho();
    glEnable(GL_BLEND);
    glBindTexture(GL_TEXTURE_2D, explosionTexture->getId());
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(0.0f, 0.0f, 0.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(explosionBandWidth, 0.0f, 0.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(explosionBandWidth, height, 0.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(0.0f, height, 0.0f);
    glEnd();
    glDisable(GL_BLEND);
    renderer.setPerspective();
}

void Game::stop()
{
    if (sceneManager) {
        sceneManager->clear();
        sceneManager.reset();
    }
    terrain.reset();
    background.reset();
    explosionTexture.reset();
    explosionSound.reset();
    if (player) {
        player->releaseResources();
        player.reset();
    }
    camera.reset();
}
