
function init() {
    return new VelmoraShellWindows();
}
