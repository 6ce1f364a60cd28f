// GNOME Shell 43 and 44 load an extension as a script of the legacy importer.
'use strict';

const {Clutter, Gio, GLib, Meta, Shell, St} = imports.gi;
const Main = imports.ui.main;

