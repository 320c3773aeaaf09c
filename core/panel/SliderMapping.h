// The panel's fourteen sliders (0..255) and the scene fields they show and set: colour bytes as
// they are, fractions of 0..1 times 255 truncated, and back with the single-precision 1/255.
#pragma once

#include "scene/SceneRecords.h"

// 1/255 as the single-precision constant 0.003921569 (bits 3B808081): every position p comes back
// as p when the stored value is multiplied by 255 and truncated.
float OneOver255();

float FractionOfSlider(int position);
// A value of 0..1 times 255, truncated toward zero (as the panel's texts show it too).
int SliderOfFraction(float value);

bool IsMaterialSlider(int id);
bool IsLightSlider(int id);

int MaterialSliderPosition(const SceneMaterial& material, int id);
void SetMaterialFromSlider(SceneMaterial& material, int id, int position);

int LightSliderPosition(const SceneLight& light, int id);
// Sets both the colour the view uses and its byte form.
void SetLightFromSlider(SceneLight& light, int id, int position);
