// Offers the pointer's position on the session bus as org.tapewright.Pointer: GetPosition()
// answers where it is, PositionChanged(x, y) follows each move. Positions are in the layout's
// logical pixels. (GNOME 43 and 44: the imports.gi style with init().)
'use strict';

const {Gio, GLib, Meta} = imports.gi;

const BUS_NAME = 'org.tapewright.Pointer';
const OBJECT_PATH = '/org/tapewright/Pointer';
const INTERFACE = `
<node>
  <interface name="org.tapewright.Pointer">
    <method name="GetPosition">
      <arg type="i" direction="out" name="x"/>
      <arg type="i" direction="out" name="y"/>
    </method>
    <signal name="PositionChanged">
      <arg type="i" name="x"/>
      <arg type="i" name="y"/>
    </signal>
  </interface>
</node>`;

function pointer() {
    const [x, y] = global.get_pointer();
    return [x, y];
}

function cursorTracker() {
    if (Meta.CursorTracker.get_for_display)
        return Meta.CursorTracker.get_for_display(global.display);
    return global.backend.get_cursor_tracker();
}

class PointerExtension {
    enable() {
        this._service = Gio.DBusExportedObject.wrapJSObject(INTERFACE, {GetPosition: pointer});
        this._service.export(Gio.DBus.session, OBJECT_PATH);
        this._tracker = cursorTracker();
        this._moved = this._tracker.connect('position-invalidated', () => {
            this._service.emit_signal('PositionChanged', new GLib.Variant('(ii)', pointer()));
        });
        this._name = Gio.bus_own_name_on_connection(Gio.DBus.session, BUS_NAME,
            Gio.BusNameOwnerFlags.NONE, null, null);
    }

    disable() {
        Gio.bus_unown_name(this._name);
        this._tracker.disconnect(this._moved);
        this._service.unexport();
        this._service = null;
        this._tracker = null;
    }
}

function init() {
    return new PointerExtension();
}
