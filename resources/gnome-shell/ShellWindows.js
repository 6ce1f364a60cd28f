// The windows of the Shell for Velmora alone: the focused window and a signal when it changes,
// an application's windows with their titles, minimising the other applications, activating a
// window, the copy and paste keystrokes typed into a window through a virtual keyboard, and the
// text Velmora copies put on the Shell's clipboard. Every caller but the owner of Velmora's bus
// name gets an error.

const VELMORA_NAME = 'io.velmora.Velmora';
const OBJECT_PATH = '/io/velmora/ShellWindows';
const ERROR_DENIED = 'io.velmora.ShellWindows.Error.AccessDenied';
const INTERFACE_VERSION = 2;
// How long a window may take to come in front before a keystroke is given up.
const FOCUS_WAIT_MS = 1000;
const FOCUS_POLL_MS = 20;

const INTERFACE_XML = `<node>
  <interface name="io.velmora.ShellWindows">
    <method name="Version"><arg type="u" direction="out"/></method>
    <method name="FocusedWindow"><arg type="(tssu)" direction="out"/></method>
    <method name="Windows">
      <arg type="s" direction="in"/><arg type="a(tssu)" direction="out"/>
    </method>
    <method name="HasWindow"><arg type="t" direction="in"/><arg type="b" direction="out"/></method>
    <method name="HideOthers"><arg type="t" direction="in"/><arg type="b" direction="out"/></method>
    <method name="Activate"><arg type="t" direction="in"/><arg type="b" direction="out"/></method>
    <method name="SendKeystroke">
      <arg type="t" direction="in"/><arg type="s" direction="in"/>
      <arg type="b" direction="out"/>
    </method>
    <method name="SetClipboardText">
      <arg type="s" direction="in"/><arg type="b" direction="out"/>
    </method>
    <signal name="FocusChanged"><arg type="(tssu)"/></signal>
  </interface>
</node>`;

const NO_WINDOW = [0, '', '', 0];

class VelmoraShellWindows {
    enable() {
        this._velmora = null;
        this._velmoraPid = 0;
        this._last = null;
        this._timeouts = new Set();
        // Made now rather than at the first keystroke: on a seat with no keyboard of its own
        // (a headless or remote session) windows are given the keyboard focus only once one
        // is there.
        const seat = Clutter.get_default_backend().get_default_seat();
        this._keyboard = seat.create_virtual_device(Clutter.InputDeviceType.KEYBOARD_DEVICE);
        this._dbus = Gio.DBusExportedObject.wrapJSObject(INTERFACE_XML, this);
        this._dbus.export(Gio.DBus.session, OBJECT_PATH);
        this._focusHandler = global.display.connect('notify::focus-window', () => {
            this._follow();
            this._dbus.emit_signal('FocusChanged',
                new GLib.Variant('((tssu))', [this._describe(this._focused())]));
        });
        this._follow();
    }

    disable() {
        global.display.disconnect(this._focusHandler);
        for (const id of this._timeouts)
            GLib.source_remove(id);
        this._timeouts.clear();
        this._dbus.unexport();
        this._dbus = null;
        this._keyboard = null;
        this._last = null;
    }

    // The callers' checks: the sender must own Velmora's name now. Velmora's pid comes along,
    // to pass over its own windows.
    _authorized(invocation, then) {
        const sender = invocation.get_sender();
        if (sender && sender === this._velmora) {
            then();
            return;
        }
        Gio.DBus.session.call('org.freedesktop.DBus', '/org/freedesktop/DBus',
            'org.freedesktop.DBus', 'GetNameOwner', new GLib.Variant('(s)', [VELMORA_NAME]),
            new GLib.VariantType('(s)'), Gio.DBusCallFlags.NONE, 1000, null, (bus, result) => {
                let owner = null;
                try {
                    [owner] = bus.call_finish(result).deepUnpack();
                } catch (e) {
                    owner = null;
                }
                if (!owner || owner !== sender) {
                    invocation.return_dbus_error(ERROR_DENIED,
                        `Only the owner of ${VELMORA_NAME} may ask`);
                    return;
                }
                this._velmora = owner;
                this._velmoraPid = 0;
                bus.call('org.freedesktop.DBus', '/org/freedesktop/DBus', 'org.freedesktop.DBus',
                    'GetConnectionUnixProcessID', new GLib.Variant('(s)', [owner]),
                    new GLib.VariantType('(u)'), Gio.DBusCallFlags.NONE, 1000, null,
                    (again, pidResult) => {
                        try {
                            [this._velmoraPid] = again.call_finish(pidResult).deepUnpack();
                        } catch (e) {
                            this._velmoraPid = 0;
                        }
                        then();
                    });
            });
    }

    _answer(invocation, signature, compute) {
        this._authorized(invocation, () => {
            try {
                invocation.return_value(new GLib.Variant(signature, [compute()]));
            } catch (e) {
                invocation.return_dbus_error('io.velmora.ShellWindows.Error.Failed', String(e));
            }
        });
    }

    // Windows a user works in: not the Shell's own, not Velmora's.
    _counts(window) {
        if (!window || window.is_skip_taskbar())
            return false;
        const type = window.get_window_type();
        if (type !== Meta.WindowType.NORMAL && type !== Meta.WindowType.DIALOG &&
            type !== Meta.WindowType.MODAL_DIALOG)
            return false;
        return !this._velmoraPid || window.get_pid() !== this._velmoraPid;
    }

    _windows() {
        const all = global.get_window_actors().map(actor => actor.meta_window)
            .filter(window => this._counts(window));
        return global.display.sort_windows_by_stacking(all).reverse();
    }

    _find(id) {
        return this._windows().find(window => window.get_id() === id) ?? null;
    }

    // The Wayland application id or the X11 class, as the window gives it; a window without
    // either goes by the desktop entry the Shell matched it with, its file name without
    // ".desktop".
    _applicationId(window) {
        const own = window.get_gtk_application_id() || window.get_wm_class();
        if (own)
            return own;
        const app = Shell.WindowTracker.get_default().get_window_app(window);
        return app && !app.is_window_backed() ? app.get_id().replace(/\.desktop$/, '') : '';
    }

    _describe(window) {
        if (!window)
            return NO_WINDOW;
        return [window.get_id(), this._applicationId(window), window.get_title() || '',
            Math.max(window.get_pid(), 0)];
    }

    _follow() {
        const focus = global.display.focus_window;
        if (this._counts(focus))
            this._last = focus;
        else if (!focus && !this._shellHasKeyboard())
            this._last = null;
    }

    _shellHasKeyboard() {
        const focus = global.stage.get_key_focus();
        return Main.modalCount > 0 || (focus !== null && focus !== global.stage);
    }

    // The focused window; while the Shell itself or Velmora has the keyboard (a menu, an
    // alert), the window focused before, when it is still there.
    _focused() {
        const focus = global.display.focus_window;
        if (this._counts(focus))
            return focus;
        if (focus || this._shellHasKeyboard())
            return this._last && this._find(this._last.get_id()) ? this._last : null;
        return null;
    }

    VersionAsync(params, invocation) {
        this._answer(invocation, '(u)', () => INTERFACE_VERSION);
    }

    FocusedWindowAsync(params, invocation) {
        this._answer(invocation, '((tssu))', () => this._describe(this._focused()));
    }

    WindowsAsync([applicationId], invocation) {
        this._answer(invocation, '(a(tssu))', () => this._windows()
            .filter(window => !applicationId || this._applicationId(window) === applicationId)
            .map(window => this._describe(window)));
    }

    HasWindowAsync([id], invocation) {
        this._answer(invocation, '(b)', () => this._find(id) !== null);
    }

    HideOthersAsync([id], invocation) {
        this._answer(invocation, '(b)', () => {
            const front = this._find(id);
            if (!front)
                return false;
            const application = this._applicationId(front);
            for (const window of this._windows()) {
                if (window !== front && this._applicationId(window) !== application &&
                    window.can_minimize())
                    window.minimize();
            }
            return true;
        });
    }

    ActivateAsync([id], invocation) {
        this._authorized(invocation, () => {
            this._activate(id, focused => invocation.return_value(
                new GLib.Variant('(b)', [focused])));
        });
    }

    SendKeystrokeAsync([id, key], invocation) {
        const keyval = {copy: Clutter.KEY_c, paste: Clutter.KEY_v}[key];
        this._authorized(invocation, () => {
            if (keyval === undefined) {
                invocation.return_dbus_error('io.velmora.ShellWindows.Error.Failed',
                    `No keystroke "${key}"`);
                return;
            }
            this._activate(id, focused => {
                // A window that did not come in front gets nothing: the keys would reach
                // whichever window has the focus.
                if (focused)
                    this._type(keyval);
                invocation.return_value(new GLib.Variant('(b)', [focused]));
            });
        });
    }

    // Owned by the Shell, the text reaches native windows and X11 programs alike. Velmora's own
    // claim through XWayland is refused by the X server once the Shell has claimed the clipboard
    // for a native window at a later time than the last event Velmora saw: a paste would then
    // insert what the clipboard held before.
    SetClipboardTextAsync([text], invocation) {
        this._answer(invocation, '(b)', () => {
            St.Clipboard.get_default().set_text(St.ClipboardType.CLIPBOARD, text);
            return true;
        });
    }

    // Activates the window and says, once it has the focus or the wait is over, whether it has.
    _activate(id, done) {
        const window = this._find(id);
        if (!window) {
            done(false);
            return;
        }
        Main.activateWindow(window);
        let waited = 0;
        const timeout = GLib.timeout_add(GLib.PRIORITY_DEFAULT, FOCUS_POLL_MS, () => {
            waited += FOCUS_POLL_MS;
            const focused = global.display.focus_window === window;
            if (!focused && waited < FOCUS_WAIT_MS)
                return GLib.SOURCE_CONTINUE;
            this._timeouts.delete(timeout);
            done(focused);
            return GLib.SOURCE_REMOVE;
        });
        this._timeouts.add(timeout);
    }

    _type(keyval) {
        const now = GLib.get_monotonic_time();
        this._keyboard.notify_keyval(now, Clutter.KEY_Control_L, Clutter.KeyState.PRESSED);
        this._keyboard.notify_keyval(now, keyval, Clutter.KeyState.PRESSED);
        this._keyboard.notify_keyval(now, keyval, Clutter.KeyState.RELEASED);
        this._keyboard.notify_keyval(now, Clutter.KEY_Control_L, Clutter.KeyState.RELEASED);
    }
}
