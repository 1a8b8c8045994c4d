# The order desk as a screen reader meets it, over the desktop's accessibility bus: every control that takes the focus
# has a name, the order lines read as a table, a message box says its title and text, and no window crashes.
import os, re, shutil, subprocess, sys, tempfile, time
skip = lambda why: sys.exit(print(f'{why}: the screen-reader test is skipped') or 77)
if 'DESK' not in os.environ:  # again, on a copy of the sample data under an X server and a session bus of its own
    shutil.which('xvfb-run') and shutil.which('xdotool') or skip('xvfb-run or xdotool is not installed')
    with tempfile.TemporaryDirectory() as desk:  # with no printer, F9 keeps the order's PDF copy only
        code = subprocess.call(['xvfb-run', '-a', 'dbus-run-session', '--', sys.executable, *sys.argv], env=dict(
            os.environ, DESK=desk, XDG_RUNTIME_DIR=desk, CUPS_SERVER=desk + '/none', QT_QPA_PLATFORM='xcb',
            QT_LINUX_ACCESSIBILITY_ALWAYS_ON='1'))
    sys.exit(code) if code != 127 else skip('the session bus did not start')
probe = subprocess.run([sys.executable, '-c', 'import pyatspi; pyatspi.Registry.getDesktop(0)'], capture_output=True)
probe.returncode == 0 or skip(f'the accessibility bus does not answer ({probe.stderr.decode().strip()[-300:]})')
import pyatspi
from gi.repository import GLib
shutil.copytree(sys.argv[2], os.environ['DESK'] + '/System')
program = subprocess.Popen([shutil.copy(sys.argv[1], os.environ['DESK'])])
# A screen reader listens to every event, which makes the program send them, and reads what each is about.
pyatspi.Registry.registerEventListener(lambda event: (event.source.name, event.source.getState(), getattr(
    event.any_data, 'name', None)), 'focus:', 'object:', 'window:')
failures, M = [], 'Orderregistrering'
def wait(seconds):
    for _ in range(int(seconds * 100)):
        GLib.MainContext.default().iteration(False)
        time.sleep(0.01)
    program.poll() is None or sys.exit(f'the program ended ({program.returncode})')
def window(title):
    for _ in range(300):
        wait(0.1)
        for top in (top for app in pyatspi.Registry.getDesktop(0) if app and app.name == M for top in app if top):
            if re.fullmatch(title, top.name) and top.getState().contains(pyatspi.STATE_SHOWING):
                return top
    sys.exit(f'the window {title} did not open')
def press(title, *keys):  # "type:" types a text
    subprocess.run(['xdotool', 'search', '--sync', '--onlyvisible', '--name', f'^{title}$', 'windowfocus', '--sync'])
    for key in keys:
        subprocess.run(['xdotool', 'type', key[5:]] if key.startswith('type:') else ['xdotool', 'key', key])
        wait(1.5 if key.startswith('alt+') else 0.3)  # a menu opens before its entry is chosen
def controls(node):  # the shown controls that take the focus; a list's rows are not controls
    for child in filter(lambda child: child and child.getState().contains(pyatspi.STATE_SHOWING), node):
        yield from [child] if child.getState().contains(pyatspi.STATE_FOCUSABLE) else []
        yield from controls(child) if child.getRole() not in (pyatspi.ROLE_TREE, pyatspi.ROLE_LIST,
                                                             pyatspi.ROLE_TABLE) else []
def named(title):  # and reads the lists' headers and rows, as a screen reader does on arriving at them
    found = list(controls(window(title)))
    unnamed = [control.getRoleName() for control in found if not control.name]
    print(f'{title}: {len(found)} controls take the focus, {len(unnamed)} unnamed {" ".join(unnamed)}')
    failures.extend(f'{title}: a {role} without a name' for role in unnamed)
    tables = [control.queryTable() for control in found if control.getRole() == pyatspi.ROLE_TREE]
    return [([t.getColumnHeader(c).name for c in range(t.nColumns) if t.nRows],
             [[t.getAccessibleAt(r, c).name for c in range(t.nColumns)] for r in range(t.nRows)]) for t in tables]
def expect(what, have, want):
    print(f'{what}: {have}')
    failures.extend([f'{what}: {have}, not {want}'] if have != want else [])
press(M, 'F1', 'F12')
named('Produkter')
press('Produkter', 'type:TS45-40', 'Return', 'Return', 'type:3', 'Return')
expect('order lines', named(M)[0], (['Artikelnr', 'Benämning', 'Enhet', 'A-pris', 'Antal', 'Rab %', 'Radsumma'], [
    ['TS45-40', 'Träskruv förzinkad 4.5x40 200 st', 'förp', '116.00', '3', '', '348.00']]))
press(M, 'shift+Tab', 'Down', 'Delete')
expect('order lines after it is removed', named(M)[0], ([], []))
press(M, 'F9')
expect('message box', [text.name[:15] for text in window('Ordern är sparad som PDF') if text.name], ['Ordernummer: 10'])
press('Ordern är sparad som PDF', 'Return')
desk = os.environ['DESK']  # a price list to import and a backup to restore, for their file dialogs
open(desk + '/pris.csv', 'w', encoding='utf-8-sig').write('Artikelnr;Benämning;Pris\nNY-1;Ny vara;12,50\n')
shutil.make_archive(desk + '/kopia', 'zip', desk, 'System')
for keys, title in [('F4', 'Leveranssätt'), ('F5', 'Fraktsätt'), ('alt+d Return', 'Betalningsvillkor'),
                    ('F3', 'Hämta underlag'), ('alt+h Return', 'Felmeddelanden'), ('F6', 'Orderhistorik'),
                    ('shift+F9', 'Förhandsgranskning'), ('alt+r k', 'Kunder'), ('alt+r p', 'Produktregister'),
                    ('alt+r f', 'Fraktsätt'), ('alt+r e', 'Exportera'), ('alt+a e', 'Exportera order'),
                    (f'alt+r i type:{desk}/pris.csv Return', 'Importera prislista'),
                    (f'alt+a t type:{desk}/kopia.zip Return', 'Återställ från säkerhetskopia')]:
    press(M, *keys.split())
    named(title)
    if title in ('Kunder', 'Produktregister'):  # and the form that adds a row
        press(title, 'alt+n')
        named('Kund' if title == 'Kunder' else 'Produkt')
        press('Kund' if title == 'Kunder' else 'Produkt', 'Escape')
    if title == 'Orderhistorik':  # and the question that asks why an order is voided
        press(title, 'alt+m')
        named('Makulera')
        press('Makulera', 'Escape')
    press(title, 'type:10', 'Escape')  # a search where the window has one
program.terminate()
sys.exit(print(*failures, f'screen reader: {int(not failures)} passed, {int(bool(failures))} failed', sep='\n')
         or int(bool(failures)))
