#include "engine/RegistryInfoUnit.h"

TMyRegistryInfo Settings;
