// Velmora's KWin script. Velmora loads it over D-Bus with one line before this body:
//
//   var velmora = {service, path, interface, request, serial, pid, window};
//
// `service`, `path` and `interface` name Velmora's object on the session bus, which hears every
// answer through its Report method as one JSON text. `request` says what this load of the script
// does, and `serial` comes back with its answer:
//
//   "watch"       reports the active window now and at every change, and each window closed,
//                 while the script stays
//   "windows"     lists every application's windows but Velmora's, the topmost first
//   "exists"      says whether the window `window` (an internal id) is still there
//   "activate"    brings that window in front
//   "hideOthers"  minimises the windows of every application other than that window's and
//                 Velmora's (the process `pid`)
//
// Plasma 6 renamed the workspace's windows: whichever names this KWin has are used.

var plasma6 = typeof workspace.windowList === "function";

function allWindows() {
    return plasma6 ? workspace.windowList() : workspace.clientList();
}

function activeWindow() {
    return plasma6 ? workspace.activeWindow : workspace.activeClient;
}

function describe(window) {
    return {
        id: String(window.internalId),
        caption: String(window.caption),
        resourceClass: String(window.resourceClass),
        desktopFileName: String(window.desktopFileName || ""),
        pid: Number(window.pid) || 0,
        // Panels, the desktop, notifications and the like are the shell's, not an application's.
        normal: Boolean(window.normalWindow || window.dialog) && !window.specialWindow,
    };
}

function report(answer) {
    answer.request = velmora.request;
    answer.serial = velmora.serial;
    callDBus(velmora.service, velmora.path, velmora.interface, "Report", JSON.stringify(answer));
}

function windowNamed(id) {
    var windows = allWindows();
    for (var i = 0; i < windows.length; ++i) {
        if (String(windows[i].internalId) === id)
            return windows[i];
    }
    return null;
}

function sameApplication(a, b) {
    return (a.pid > 0 && a.pid === b.pid) || String(a.resourceClass) === String(b.resourceClass);
}

function watch() {
    function activated(window) {
        report({ window: window ? describe(window) : null });
    }
    function removed(window) {
        report({ closed: String(window.internalId) });
    }
    if (plasma6) {
        workspace.windowActivated.connect(activated);
        workspace.windowRemoved.connect(removed);
    } else {
        workspace.clientActivated.connect(activated);
        workspace.clientRemoved.connect(removed);
    }
    activated(activeWindow());
}

function listWindows() {
    var windows = allWindows().slice();
    windows.sort(function (a, b) {
        return (Number(b.stackingOrder) || 0) - (Number(a.stackingOrder) || 0);
    });
    var found = [];
    for (var i = 0; i < windows.length; ++i) {
        var window = describe(windows[i]);
        if (window.normal && window.pid !== velmora.pid)
            found.push(window);
    }
    report({ windows: found });
}

function activate(window) {
    if (window.minimized)
        window.minimized = false;
    if (plasma6)
        workspace.activeWindow = window;
    else
        workspace.activeClient = window;
    return true;
}

function hideOthers(front) {
    var windows = allWindows();
    for (var i = 0; i < windows.length; ++i) {
        var window = windows[i];
        if (window === front || sameApplication(window, front) || window.pid === velmora.pid)
            continue;
        if (describe(window).normal && window.minimizable && !window.minimized)
            window.minimized = true;
    }
    return true;
}

(function () {
    if (velmora.request === "watch")
        return watch();
    if (velmora.request === "windows")
        return listWindows();
    var window = windowNamed(velmora.window);
    var done = window !== null;
    if (done && velmora.request === "activate")
        done = activate(window);
    else if (done && velmora.request === "hideOthers")
        done = hideOthers(window);
    report({ done: done });
})();
