// The slider's default pictures ("BS_HTB", "BS_HRL", "BS_VTB", "BS_VRL", 4-bit BMP files of resources/slider),
// registered as program resources on the first call.
#pragma once

void RegisterSliderPictures();
