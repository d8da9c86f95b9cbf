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
    'olumbra': {'exports_file': 'soundfx/olumbra.spec', 'binder_library': 'olumbra',
                'hosts': ['tests/support/olumbra_calls.h', 'soundfx/tests/olumbra_window_test.cpp',
                          'soundfx/tests/olumbra_dll_test.cpp']},
    'brisvane': {'exports_file': 'videofx/brisvane.spec', 'hosts': ['videofx/tests/brisvane_panel_test.cpp']},
}

# (kind, name) -> why the program leaves it so.
ALLOW = {
    # The bus defines 888 ("hide the colour dialog") for the worker threads, but no step of either
    # worker sends it; CConverterDlg::OnDlgNotify keeps the case so the bus answers every code it
    # defines.
    ('notice', 'kNoticeHideColour'):
        'defined for the workers, sent by none of their steps; the handler stays for the bus',
    # 199 ("clear the busy flag") is what the DirectShow video reader sends 0.6 s before the end when it
    # writes into the shared frame buffer. The program's DirectShow branch (engine/input/win32/
    # dshow_reader.cpp) reads through the reader's picture ring in play as in conversion and ends its
    # job when the ring runs dry, so its engine link leaves the end notice empty and 199 is not sent.
    ('notice', 'kNoticeClearBusy'):
        'the DirectShow branch reads through the picture ring and ends on its own; the end notice is unlinked',
    # tolmmpeg4decode has no unloader of its own: its binder frees a copy still loaded before binding
    # again, and the start-up binding lives as long as the program.
    ('binder', 'unload_tolmmpeg4decode'):
        'the library has no unloader; its binder frees a loaded copy first',
}

# Entry points each binder binds (so a library without them is refused as the wrong version) that no
# step of the program calls: the program uses the library's other entries for the same work (for
# example aacdecodebuf_* rather than aacdecode_*, amrbuf_* rather than amr_*, tolmdivx_initrgb and
# tolmdivx_playbuf rather than tolmdivx_init and tolmdivx_play), or none at all (olumbra's
# tolmmix_setecho, tolmmix_setiir and tolmmix_setlevel, bound at start-up and never called by tarmelo;
# its hosts call them).
_BOUND_ONLY = {
    'tolmac3buf': ['ac3buf_get_handle'],
    'tolmmp3enc': ['tolmmp3enc_vbrheader'],
    'olumbra': ['tolmmix_setecho', 'tolmmix_setiir', 'tolmmix_setlevel'],
    'tolmmux': ['mux_get_allbit', 'mux_get_video_bit', 'mux_get_audio_bit', 'mux_get_ac3_bit', 'mux_get_min_pts',
                'mux_get_max_pts', 'mux_get_video_pid', 'mux_get_audio_pid', 'mux_get_10num', 'mux_get_20num',
                'mux_get_30num', 'mux_get_5num', 'mux_get_autonum', 'get_mpeg4_index'],
    'tolmdivxplay': ['tolmdivx_init', 'tolmdivx_play', 'tolmdivx_setwin', 'tolmsnd_init', 'tolmsnd_play',
                     'tolmsnd_close', 'mpeg4_get_leftvol', 'mpeg4_set_leftvol', 'mpeg4_get_rightvol',
                     'mpeg4_set_rightvol'],
    'tolmaac_decode': ['aacdecode_init', 'aac_decode', 'get_mp4info', 'aacdecode_close'],
    'tolmaac_encode': ['aac_init', 'aac_encode', 'aac_close'],
    'tolmamr_encode': ['amr_init', 'amr_encode', 'amr_close'],
    # MPEG-4 Part 2 pictures are decoded by tolmdivxplay and tolmmpeg4decode; Xvid only encodes.
    'xvidcore': ['xvid_decore'],
}
for _library, _entries in _BOUND_ONLY.items():
    for _entry in _entries:
        ALLOW[('binder', f'{_library}.{_entry}')] = 'bound so the library version is checked; no step calls it'
