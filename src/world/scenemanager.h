// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <vector>

class Camera;
class Heightmap;
class Player;
class Texture2D;

// Draws a round's picture: a full-screen background, then the objects and
// the terrains seen through the camera. It owns nothing it draws; the round
// holds the objects and gives them back.
class SceneManager {
public:
    SceneManager() = default;
    virtual ~SceneManager() = default;
    SceneManager(const SceneManager&) = delete;
    SceneManager& operator=(const SceneManager&) = delete;

    // Sets the sky-blue clear colour the round is drawn over; it stays in
    // force after the round until something sets another.
    virtual void init();
    // Objects and terrains are drawn in the order they were added.
    virtual void addObject(Player* object);
    virtual void addTerrain(Heightmap* terrain);
    virtual void setCamera(Camera* newCamera);
    virtual void setBackground(Texture2D* texture);
    // The background fills the renderer area mirrored left to right with its
    // first row at the top, without writing depth; then, when a camera is
    // set, the objects and the terrains through it. A missing background
    // or camera leaves its part out.
    virtual void render() const;
    // Forgets everything it was given; destroys nothing.
    virtual void clear();

    const std::vector<Player*>& getObjects() const { return objects; }
    const std::vector<Heightmap*>& getTerrains() const { return terrains; }
    const Camera* getCamera() const { return camera; }
    const Texture2D* getBackground() const { return background; }

private:
    void drawBackground() const;

    Camera* camera = nullptr;
    std::vector<Player*> objects;
    std::vector<Heightmap*> terrains;
    Texture2D* background = nullptr;
};
