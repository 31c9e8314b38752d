// The five scene objects of the show, one per timeline slot, in static storage. The demo owns
// them: LoadScene initialises them, Animate updates the current one, DrawFrame draws it, and
// ReleaseScenes frees the mesh files they made.
#pragma once

#include "demo/finale_scene.h"
#include "demo/plane_scene.h"
#include "demo/rosette_scene.h"
#include "demo/swarm_scene.h"
#include "demo/title_scene.h"

extern TitleScene titleScene;     // scene 0
extern SwarmScene swarmScene;     // scene 1
extern PlaneScene planeScene;     // scene 2
extern RosetteScene rosetteScene; // scene 3
extern FinaleScene finaleScene;   // scene 4
