
export default class VelmoraExtension extends Extension {
    enable() {
        this._windows = new VelmoraShellWindows();
        this._windows.enable();
    }

    disable() {
        this._windows.disable();
        this._windows = null;
    }
}
