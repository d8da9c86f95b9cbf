# What tools/check_wiring.py reads in this tree, and the things the program leaves unwired on purpose.
# Paths are relative to the tree's root. A dialog's code is a list of files, or 'file@Class,...' for the
# member functions and message maps of those classes in a file that holds several dialogs (plus the
# file's own free code and tables).

MODULES = {
    'tarmelo': {
        'rc': ['app/res/tarmelo.rc', 'app/res/settings_pages.rc', 'app/analysis/analyze_dlg.rc',
               'engine/video/win32/video_wnd_dlg.rc'],
        'headers': ['app/res/resource.h', 'app/res/settings_pages_res.h', 'app/analysis/analyze_res.h',
                    'engine/video/win32/video_wnd_res.h', 'engine/ui/engine_ui.h'],
        # The engine reaches the main dialog's controls through MainWindowUi::item (a GetDlgItem).
        'wrappers': ['item'],
        'dialogs': {
            'IDD_CONVERTER_DIALOG': ['app/ConverterDlg.cpp', 'app/ConverterDlgTimeline.cpp', 'app/WaveScopeThread.cpp',
                                     'engine/ui/win32/main_window_ui.cpp'],
            'IDD_FILE_PAGE': ['app/FileListPage.cpp'],
            'IDD_CONVERTER_ABOUT': ['app/AboutDlg.cpp'],
            'IDD_ABOUTBOX': ['app/AboutDlg.cpp'],
            'IDD_COLOR_SET': ['app/ColorSetDlg.cpp'],
            'IDD_3GP_PAGE': ['app/3gpSettingsPage.cpp', 'app/SettingsPageControls.cpp'],
            'IDD_MP4_PAGE': ['app/Mp4SettingsPage.cpp', 'app/SettingsPageControls.cpp'],
            'IDD_AVI_PAGE': ['app/AviSettingsPage.cpp', 'app/SettingsPageControls.cpp'],
            'IDD_ANALYZE': ['app/analysis/AnalyzeDlg.cpp'],
            'IDD_VIDEO_WND': ['engine/video/win32/video_wnd_dlg.cpp', 'engine/video/win32/video_wnd.cpp'],
        },
    },
    'olumbra': {
        'rc': ['soundfx/res/olumbra.rc'],
        'headers': ['soundfx/res/olumbra_skin_res.h'],
        'decls': ['soundfx/window/Pages.h', 'soundfx/window/SoundFxDlg.h'],
        'dialogs': {
            '3000': ['soundfx/window/SoundFxDlg.cpp@CSoundFxDlg', 'soundfx/window/olumbra_window.cpp'],
            '3001': ['soundfx/window/EqualizerPage.cpp'],
            '3004': ['soundfx/window/EffectsPages.cpp@CEffectsPage,CEffectsPage1'],
            '3022': ['soundfx/window/EffectsPages.cpp@CEffectsPage,CEffectsPage2'],
            '3030': ['soundfx/window/EffectsPages.cpp@CEffectsPage,CEffectsPage3'],
            '3016': ['soundfx/window/SoundFxDlg.cpp@CPresetSaveDlg'],
            '3021': ['soundfx/window/SoundChainPage.cpp'],
            '3023': ['soundfx/window/SoundFxDlg.cpp@CSoundAboutPage'],
        },
        # Controls bound through data: (dialog, file, pattern whose group is a control id, what uses it).
        'tables': [
            ('3004', 'soundfx/core/page_bindings.cpp', r'\{1,\s*(\d+),\s*W\(',
             'slider rows of page 1: CEffectsPage::OnHScroll writes them through page_write'),
            ('3022', 'soundfx/core/page_bindings.cpp', r'\{2,\s*(\d+),\s*W\(',
             'slider rows of page 2: CEffectsPage::OnHScroll writes them through page_write'),
            ('3030', 'soundfx/core/page_bindings.cpp', r'\{3,\s*(\d+),\s*W\(',
             'slider rows of page 3: CEffectsPage::OnHScroll writes them through page_write'),
            ('3004', 'soundfx/core/page_bindings.cpp', r'\{1,\s*(\d+),\s*\d+\}',
             'default buttons of page 1: CEffectsPage::OnCommand resets their effect'),
            ('3022', 'soundfx/core/page_bindings.cpp', r'\{2,\s*(\d+),\s*\d+\}',
             'default buttons of page 2: CEffectsPage::OnCommand resets their effect'),
            ('3030', 'soundfx/core/page_bindings.cpp', r'\{3,\s*(\d+),\s*\d+\}',
             'default buttons of page 3: CEffectsPage::OnCommand resets their effect'),
        ],
    },
    'brisvane': {
        'rc': ['videofx/res/brisvane.rc'],
        'headers': ['videofx/res/brisvane_res.h', 'videofx/res/brisvane_skin_res.h'],
        'dialogs': {
            'IDD_VIDEO_PANEL': ['videofx/panel/VideoEffectDlg.cpp'],
            'IDD_CHAIN_PAGE': ['videofx/panel/EffectChainDlg.cpp'],
            'IDD_PARAM_PAGE': ['videofx/panel/EffectParamDlg.cpp'],
            'IDD_REGION_PAGE': ['videofx/panel/EffectRegionDlg.cpp'],
            'IDD_ABOUT_PAGE': ['videofx/panel/VideoAboutPage.cpp'],
            'IDD_PICTURE_PAGE': ['videofx/panel/PictureOverlayDlg.cpp'],
            'IDD_TEXT_PAGE': ['videofx/panel/TextOverlayDlg.cpp'],
        },
    },
}

# Where the control classes live: a class whose own message map takes the user's input (a reflected
# notice or a click, like the skinned tab control and the hyperlink) handles the controls bound to it.
CONTROL_CLASS_DIRS = ['controls', 'skinlib', 'soundfx/window', 'videofx/panel']

# WM_DLG_NOTIFY: the message's name, the sources that send or handle it, the named notice codes, and
# fields that carry a code to a sender.
NOTICES = {
    'message': 'WM_DLG_NOTIFY',
    'dirs': ['app', 'engine', 'media', 'controls'],
    'enums': ['engine/ui/engine_ui.h'],
    'enum': 'EngineNotice',
    'code_fields': [r'\w+\.notify_code'],
}

# The outside libraries' binder table and the program code that calls what it binds.
BINDERS = {
    'table': 'media/binders/binding_table.inc',
    'dirs': ['app', 'engine', 'media', 'controls'],
    'exclude': ['media/binders/'],
}

# The settings loader with its key tables, and the code that saves settings.
INI = {
    'settings': 'engine/settings/settings.cpp',
    'dirs': ['app', 'engine'],
}

# The libraries' exports and who calls them: the program through its binder, or a host.
EXPORTS = {
    'olumbra': {'spec': 'soundfx/olumbra.spec', 'binder_library': 'olumbra',
                'hosts': ['tests/support/olumbra_calls.h', 'soundfx/tests/olumbra_window_test.cpp',
                          'soundfx/tests/olumbra_dll_test.cpp']},
    'brisvane': {'spec': 'videofx/brisvane.spec', 'hosts': ['videofx/tests/brisvane_panel_test.cpp']},
}

# (kind, name) -> why the program leaves it so.
ALLOW = {
}
