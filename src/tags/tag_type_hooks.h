// Installs the set-defaults, collect-dependencies and updater hooks of every
// subsystem into the type registry. Runs once, before the first registry lookup.
#pragma once

void install_core_tag_hooks();
