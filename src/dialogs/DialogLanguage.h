#pragma once

#include <windows.h>

// The templates of the user's language: Japanese on a Japanese system,
// English elsewhere.
bool UseJapaneseTemplates();
// The SDK library's module, which holds the templates.
HINSTANCE DialogModule();
