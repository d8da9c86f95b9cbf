// Framework internals shared by its source files.
#pragma once
#include "afxwin.h"
#include <initializer_list>
#include <map>
#include <memory>
#include <typeindex>
#include <utility>
#include <vector>

// The temporary wrappers of one thread, freed when the thread is idle.
struct AfxTempMaps {
    std::map<HWND, std::unique_ptr<CWnd>> windows;
    std::map<HDC, std::unique_ptr<CDC>> dcs;
    std::map<std::pair<HGDIOBJ, std::type_index>, std::unique_ptr<CGdiObject>> gdi;
    std::map<HMENU, std::unique_ptr<CMenu>> menus;
    std::map<HIMAGELIST, std::unique_ptr<CImageList>> image_lists;
    void Clear();
    ~AfxTempMaps() { Clear(); }
};
AfxTempMaps& AfxTemp();

// What the framework keeps per thread of its module. It lives in a Win32 TLS slot of the module (C++
// thread_local in a Winelib DLL breaks once the DLL is freed and loaded again), made on first use and
// freed by AfxTermThread on the thread's way out, or with the module.
struct AfxThreadState {
    MSG current_msg{};
    // How many window procedures of this framework are running on this thread (nested modal loops
    // included): their handlers may hold temporary wrappers, so those are freed only at depth 0.
    int handler_depth = 0;
    CWnd* creating = nullptr;
    HHOOK cbt_hook = nullptr;
    AfxTempMaps temp;
    // Measure requests kept per (parent, control id).
    std::map<std::pair<HWND, UINT>, std::vector<MEASUREITEMSTRUCT>> kept_measures;
    // The thread object whose Run loop pumps this thread's messages (it may override PreTranslateMessage).
    CWinThread* running_thread = nullptr;
    int own_pump = 0;
    // The hook of this module on this thread, held by the modeless dialogs that live on it.
    HHOOK pretranslate_hook = nullptr;
    int hook_holders = 0;
    char class_name[96] = {};
    // Every state of the module, for freeing them all with it.
    AfxThreadState* prev = nullptr;
    AfxThreadState* next = nullptr;
    ~AfxThreadState();
    // Unhooks and lets the wrappers go without destroying them (the module is being unloaded).
    void Abandon();
};
AfxThreadState& AfxThread();
// How many threads hold a state of this module now.
int AfxLiveThreadStates();
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
