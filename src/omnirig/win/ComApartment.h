// ComApartment: the calling thread's single-threaded COM apartment for the lifetime of the object.
//
// Responsibilities: CoInitializeEx(COINIT_APARTMENTTHREADED) and, when that succeeded, the matching
// CoUninitialize. OmniRig's events reach an apartment of this kind through its message queue, so the thread
// must pump messages (a GUI thread does).
// Threads: made and destroyed on the same thread, after every COM object of that thread is released.
#pragma once

#include <windows.h>

#include <objbase.h>

class ComApartment {
public:
    // Throws OmniRigError when the thread is in a multithreaded apartment already.
    ComApartment();
    ~ComApartment();

    ComApartment(const ComApartment &) = delete;
    ComApartment &operator=(const ComApartment &) = delete;
};
