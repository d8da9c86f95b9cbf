// Framework internals shared by its source files.
#pragma once
#include "afxwin.h"
#include <initializer_list>
#include <map>
#include <memory>
#include <typeindex>
#include <utility>

// The temporary wrappers of one thread, freed when the thread is idle.
struct AfxTempMaps {
    std::map<HWND, std::unique_ptr<CWnd>> windows;
    std::map<HDC, std::unique_ptr<CDC>> dcs;
    std::map<std::pair<HGDIOBJ, std::type_index>, std::unique_ptr<CGdiObject>> gdi;
    std::map<HMENU, std::unique_ptr<CMenu>> menus;
    std::map<HIMAGELIST, std::unique_ptr<CImageList>> image_lists;
};
AfxTempMaps& AfxTemp();
// TRUE while a window procedure of this framework runs on this thread.
BOOL AfxInsideHandler();

template <typename T>
T* AfxTempGdiObject(HGDIOBJ object) {
    if (!object) return nullptr;
    auto& slot = AfxTemp().gdi[{object, std::type_index(typeid(T))}];
    if (!slot) {
        slot.reset(new T);
        slot->m_hObject = object;
        slot->m_temporary = true;
    }
    return static_cast<T*>(slot.get());
}

// Hands an owner-drawn menu item to the CMenu object attached to its menu; TRUE when one took it.
BOOL AfxOwnerDrawMenu(UINT msg, LPARAM lp);

// WM_MEASUREITEM that a parent receives for a control no object holds yet (an owner-drawn combo box
// is measured while its dialog is created, before DDX_Control subclasses it): kept for the control,
// and handed to it when it is subclassed.
void AfxKeepMeasureItem(HWND parent, const MEASUREITEMSTRUCT* mis);
void AfxReplayMeasureItem(CWnd* control);
void AfxForgetMeasureItems(HWND parent);

// This module's message loop is pumping on this thread (its own loop pre-translates).
struct AfxOwnPump {
    AfxOwnPump();
    ~AfxOwnPump();
};
BOOL AfxOwnPumpActive();

// Adds a line of tab-separated fields to the log file the environment variable names (the seams' log
// for tests that drive a program from outside); false when no log is named.
bool AfxLogToEnvironment(const char* variable, std::initializer_list<const char*> fields);
