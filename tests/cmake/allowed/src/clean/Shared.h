#pragma once

int shared();
