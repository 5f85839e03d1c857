// The hook through which the plug-in entry makes its application object.
// Start-up code installs its factory from a static initialiser; until one is
// installed the default application finds no stored document, so every
// construction fails and `main` returns null.
#pragma once

#include <memory>

#include "shell/kr_application.h"

using ApplicationFactory = std::unique_ptr<KrApplication> (*)();

// Installs a factory and returns the previous one; null restores the default.
ApplicationFactory SetApplicationFactory(ApplicationFactory factory);
std::unique_ptr<KrApplication> MakeApplication();
