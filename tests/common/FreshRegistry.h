#pragma once

// Points the registry at a new, empty file for the running test, so stored
// settings never carry over from one test to the next.
void UseFreshRegistry();
