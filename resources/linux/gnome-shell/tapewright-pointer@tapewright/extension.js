// Offers the pointer's position on the session bus as org.tapewright.Pointer: GetPosition()
// answers where it is; after Subscribe(), PositionChanged(x, y) follows each move until the
// subscriber leaves the bus. Positions are in the layout's logical pixels.
// (GNOME 45 and later: an ES module.)
import Gio from 'gi://Gio';
import GLib from 'gi://GLib';
import {Extension} from 'resource:///org/gnome/shell/extensions/extension.js';

const BUS_NAME = 'org.tapewright.Pointer';
const OBJECT_PATH = '/org/tapewright/Pointer';
const INTERFACE = `
<node>
  <interface name="org.tapewright.Pointer">
    <method name="Subscribe"/>
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
        this._watchers = new Map();  // unique bus name -> watch id
        this._service = Gio.DBusExportedObject.wrapJSObject(INTERFACE, this);
        this._service.export(Gio.DBus.session, OBJECT_PATH);
        this._tracker = global.backend.get_cursor_tracker();
        this._moved = 0;
        this._name = Gio.bus_own_name_on_connection(Gio.DBus.session, BUS_NAME,
            Gio.BusNameOwnerFlags.NONE, null, null);
    }

    disable() {
        Gio.bus_unown_name(this._name);
        for (const watch of this._watchers.values())
            Gio.bus_unwatch_name(watch);
        this._watchers.clear();
        this._follow(false);
        this._service.unexport();
        this._service = null;
        this._tracker = null;
    }

    GetPosition() {
        return pointer();
    }

    // PositionChanged goes out only while a program that asked for it is on the bus.
    SubscribeAsync(parameters, invocation) {
        const sender = invocation.get_sender();
        if (!this._watchers.has(sender)) {
            this._watchers.set(sender, Gio.bus_watch_name_on_connection(Gio.DBus.session, sender,
                Gio.BusNameWatcherFlags.NONE, null, () => this._forget(sender)));
        }
        this._follow(true);
        invocation.return_value(null);
    }

    _forget(sender) {
        Gio.bus_unwatch_name(this._watchers.get(sender));
        this._watchers.delete(sender);
        this._follow(this._watchers.size > 0);
    }

    _follow(on) {
        if (on && !this._moved) {
            this._moved = this._tracker.connect('position-invalidated', () => {
                this._service.emit_signal('PositionChanged', new GLib.Variant('(ii)', pointer()));
            });
        } else if (!on && this._moved) {
            this._tracker.disconnect(this._moved);
            this._moved = 0;
        }
    }
}
