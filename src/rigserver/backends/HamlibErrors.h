// What a Hamlib error code (negative, as Hamlib returns it and rigctld reports it in RPRT) means to the rig
// worker. The codes are spelled as numbers, so the rigctld client needs no Hamlib headers.
#pragma once

#include "rigserver/core/RigBackend.h"

RigResult rigResultFromHamlibCode(int code);
