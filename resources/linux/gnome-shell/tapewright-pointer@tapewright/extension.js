// Offers the pointer's position on the session bus as org.tapewright.Pointer: GetPosition()
// answers where it is, PositionChanged(x, y) follows each move. Positions are in the layout's
// logical pixels. (GNOME 45 and later: an ES module.)
import Gio from 'gi://Gio';
import GLib from 'gi://GLib';
import {Extension} from 'resource:///org/gnome/shell/extensions/extension.js';

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

export default class PointerExtension extends Extension {
    enable() {
        this._service = Gio.DBusExportedObject.wrapJSObject(INTERFACE, {GetPosition: pointer});
        this._service.export(Gio.DBus.session, OBJECT_PATH);
        this._tracker = global.backend.get_cursor_tracker();
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
