#include "game/Compass.h"

glm::vec4 compassPlayerPos(0.0f);
glm::vec4 compassFacing(0.0f, 0.0f, 1.0f, 0.0f);
glm::vec4 compassLeft(1.0f, 0.0f, 0.0f, 0.0f);
glm::vec4 compassOver(0.0f, 0.0f, 0.0f, 1.0f);
glm::vec2 compassAngles(0.0f);
