#pragma once

// Which acquisition of this process a camera streams for. Two handles may
// open one camera, but its stream serves one acquisition at a time: a second
// would take frames from under the first and read its pauses as a lost camera.

// True when the camera (its device ordinal) is free or already `owner`'s;
// then it is `owner`'s until released.
bool ClaimCamera(int ordinal, const void* owner);
// Frees whatever camera `owner` holds.
void ReleaseCamera(const void* owner);
