// Every type whose definition is one fixed structure at the start of its data.
#pragma once

#include "tags/gameplay/amso.h"
#include "tags/gameplay/arti.h"
#include "tags/gameplay/conn.h"
#include "tags/gameplay/core.h"
#include "tags/gameplay/form.h"
#include "tags/gameplay/game.h"
#include "tags/gameplay/glli.h"
#include "tags/gameplay/ligh.h"
#include "tags/gameplay/loli.h"
#include "tags/gameplay/lpgr.h"
#include "tags/gameplay/medi.h"
#include "tags/gameplay/meef.h"
#include "tags/gameplay/meli.h"
#include "tags/gameplay/mons.h"
#include "tags/gameplay/obje.h"
#include "tags/gameplay/obpc.h"
#include "tags/gameplay/part.h"
#include "tags/gameplay/phys.h"
#include "tags/gameplay/prgr.h"
#include "tags/gameplay/proj.h"
#include "tags/gameplay/scen.h"
#include "tags/gameplay/unit.h"
#include "tags/gameplay/wind.h"

// Installs their set-defaults and collect-dependencies hooks.
void install_gameplay_tag_hooks();
