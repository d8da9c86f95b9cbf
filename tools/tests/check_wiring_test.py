#!/usr/bin/env python3
"""check_wiring.py on a tiny tree with three planted faults: a button no code binds, a notice code that
is sent but has no handler, and an INI key that a save writes but the loader never reads. The checker
must report exactly those three (so a checker that finds nothing, or finds noise, fails here), accept
them when they are allow-listed, and report an allow-list entry that matches nothing."""
import io
import os
import subprocess
import sys
import tempfile
import textwrap
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
import check_wiring  # noqa: E402

TREE = {
    'app/res/resource.h': '''
        #define IDD_MAIN   100
        #define IDC_GO     1001
        #define IDC_STOP   1002
        #define IDC_NAME   1003
        #define IDC_LABEL  1004
        #define IDC_LEVEL  1005
        #define IDC_ROW0   1010
    ''',
    'app/res/main.rc': '''
        #include "resource.h"
        IDD_MAIN DIALOGEX 0, 0, 200, 100
        CAPTION "fake"
        BEGIN
            LTEXT           "label", IDC_LABEL, 4, 4, 60, 10
            LTEXT           "", -1, 4, 16, 60, 10
            PUSHBUTTON      "go", IDC_GO, 4, 30, 40, 14
            PUSHBUTTON      "stop", IDC_STOP, 50, 30, 40, 14
            EDITTEXT        IDC_NAME, 4, 50, 80, 12, ES_AUTOHSCROLL
            CONTROL         "", IDC_LEVEL, "msctls_trackbar32", TBS_HORZ | WS_TABSTOP,
                            4, 66, 80, 12
            CONTROL         "a", IDC_ROW0, "Button", BS_AUTOCHECKBOX, 4, 80, 20, 10
            CONTROL         "b", 1011, "Button", BS_AUTOCHECKBOX, 30, 80, 20, 10
        END
    ''',
    'app/MainDlg.cpp': '''
        #include "res/resource.h"
        BEGIN_MESSAGE_MAP(CMainDlg, CDialog)
            ON_BN_CLICKED(IDC_GO, OnGo)
            ON_WM_HSCROLL()
            ON_COMMAND_RANGE(IDC_ROW0, IDC_ROW0 + 1, OnRow)
            ON_MESSAGE(WM_DLG_NOTIFY, OnNotify)
        END_MESSAGE_MAP()

        void CMainDlg::DoDataExchange(CDataExchange* dx) {
            DDX_Control(dx, IDC_GO, m_go);
            DDX_Text(dx, IDC_NAME, m_name);
            DDX_Control(dx, IDC_LEVEL, m_level);
            for (int i = 0; i < 2; ++i) DDX_Control(dx, IDC_ROW0 + i, m_rows[i]);
        }

        LRESULT CMainDlg::OnNotify(WPARAM code, LPARAM argument) {
            switch ((int)code) {
            case kNoticeClock: ShowClock((int)argument); break;
            case 8888: break;
            }
            return 0;
        }

        void CMainDlg::OnGo() {
            if (codec::load_tolmfake() < 0) return;
            codec::fake_open("x");
            codec::unload_tolmfake();
            ::SendMessageA(m_hWnd, WM_DLG_NOTIFY, 8888, 1);
        }
    ''',
    'engine/ui.h': '''
        enum EngineNotice : int {
            kNoticeClock = 688,   // elapsed seconds
            kNoticeDone = 700,
        };
    ''',
    'engine/worker.cpp': '''
        void run(EngineUi* ui) {
            ui->notify(kNoticeClock, 1);
            ui->notify(kNoticeDone, 0);
        }
    ''',
    'engine/settings.cpp': '''
        const char* const kNameKey = "名称";
        int cfg_speed, cfg_size;
        const IntKey kKeys[] = {
            {"速度", 0, 9, 1, &cfg_speed},
            {"大小", 0, 9, 1, &cfg_size},
        };
        void load_settings(SettingsStore& store) {
            load_ranges(store, kKeys);
        }
    ''',
    'app/page_model.cpp': '''
        void save_page(SettingsStore& store) {
            store.write(kNameKey, name);
            for (int* v : {&cfg_speed, &cfg_size})
                save_setting(store, settings_key_of(v), *v);
        }
    ''',
    'media/binding_table.inc': '''
        LIBRARY(tolmfake, "tolmfake.dll", nullptr, -1, kAfxBox, kGetEntryText, false)
        ENTRY(tolmfake, fake_open, "01", -2)
        END_LIBRARY(tolmfake)
    ''',
    'fx/fx.spec': '''
        1 cdecl fx_begin()
        2 cdecl fx_close()
    ''',
    'fx/tests/host.cpp': '''
        struct Calls {
            void (*begin)() = nullptr;
            void (*close)() = nullptr;
        };
        void host(Calls& calls) {
            bind(calls.begin, "fx_begin");
            bind(calls.close, 2);
            calls.begin();
            calls.close();
        }
    ''',
}

CONFIG = '''
MODULES = {
    'fake': {
        'rc': ['app/res/main.rc'],
        'headers': ['app/res/resource.h'],
        'dialogs': {'IDD_MAIN': ['app/MainDlg.cpp']},
    },
}
NOTICES = {'message': 'WM_DLG_NOTIFY', 'dirs': ['app', 'engine'], 'enums': ['engine/ui.h'], 'enum': 'EngineNotice'}
BINDERS = {'table': 'media/binding_table.inc', 'dirs': ['app', 'engine', 'media'], 'exclude': ['media/binding']}
INI = {'settings': 'engine/settings.cpp', 'dirs': ['app', 'engine']}
EXPORTS = {'fx': {'exports_file': 'fx/fx.spec', 'hosts': ['fx/tests/host.cpp']}}
ALLOW = {%s}
'''

PLANTED = [
    ('control', 'IDD_MAIN/IDC_STOP', 'app/res/main.rc'),
    ('notice', 'kNoticeDone', 'engine/worker.cpp'),
    ('ini', '名称 (kNameKey)', 'engine/settings.cpp'),
]


class CheckWiring(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.root = self.dir.name
        for path, text in TREE.items():
            full = os.path.join(self.root, path)
            os.makedirs(os.path.dirname(full), exist_ok=True)
            with open(full, 'w', encoding='utf-8') as f:
                f.write(textwrap.dedent(text).lstrip('\n'))
        check_wiring.Source.cache.clear()

    def tearDown(self):
        self.dir.cleanup()

    def config(self, allow=''):
        path = os.path.join(self.root, 'wiring_config.py')
        with open(path, 'w', encoding='utf-8') as f:
            f.write(CONFIG % allow)
        return path

    def run_checker(self, allow=''):
        out = io.StringIO()
        failing, allowed = check_wiring.run(self.root, check_wiring.load_config(self.config(allow)), out)
        return failing, allowed, out.getvalue()

    def test_reports_exactly_the_planted_faults(self):
        failing, allowed, text = self.run_checker()
        self.assertEqual(sorted(PLANTED), sorted((f[0], f[1], f[2]) for f in failing), text)
        self.assertEqual([], allowed)
        # Each finding is one line: kind, name, file:line, what is missing.
        lines = [l for l in text.splitlines() if not l.startswith(('checked', '3 finding'))]
        self.assertEqual(3, len(lines), text)
        self.assertIn('IDD_MAIN/IDC_STOP  app/res/main.rc:8  button is not bound', text)
        self.assertIn('kNoticeDone  engine/worker.cpp:3  sent but no handler', text)
        self.assertIn('written but never read', text)
        self.assertIn('checked 6 controls, 3 notice codes, 1 binder entries, 3 ini keys, 2 exports', text)

    def test_allow_list_accepts_them_and_reports_a_stale_entry(self):
        allow = ''.join('(%r, %r): "planted", ' % (k, n) for k, n, _ in PLANTED)
        failing, allowed, _ = self.run_checker(allow)
        self.assertEqual([], failing)
        self.assertEqual(3, len(allowed))
        failing, _, text = self.run_checker(allow + '("control", "IDD_MAIN/IDC_GONE"): "stale", ')
        self.assertEqual([('control', 'IDD_MAIN/IDC_GONE')], [(f[0], f[1]) for f in failing], text)

    def test_exit_status(self):
        script = os.path.join(os.path.dirname(HERE), 'check_wiring.py')
        args = [sys.executable, script, '--root', self.root, '--config', self.config(), '--quiet']
        result = subprocess.run(args, capture_output=True, text=True)
        self.assertEqual(1, result.returncode, result.stdout + result.stderr)
        self.assertEqual(3, len(result.stdout.splitlines()), result.stdout)
        allow = ''.join('(%r, %r): "planted", ' % (k, n) for k, n, _ in PLANTED)
        args[args.index('--config') + 1] = self.config(allow)
        self.assertEqual(0, subprocess.run(args, capture_output=True).returncode)


if __name__ == '__main__':
    unittest.main()
