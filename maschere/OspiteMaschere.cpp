#include "OspiteMaschere.h"

namespace {
OspiteMaschere* g_ospite = nullptr;
}

OspiteMaschere* OspiteMaschere::Corrente() { return g_ospite; }

OspiteMaschere::OspiteMaschere() { g_ospite = this; }

OspiteMaschere::~OspiteMaschere()
{
    if (g_ospite == this)
        g_ospite = nullptr;
}
