'''A python-dbusmock template of the disk service (UDisks2) for tests without hardware.

Disks are added with the mock's AddDisk(name, spec) and removed with RemoveDisk(name),
each sending the object manager's signals as the service does. A disk's spec:
  Image (s): the card image that OpenDevice opens (the whole disk; a partition opens
             the same image, which is all the tests need)
  Size (t), HintSystem (b), Removable (b), MediaRemovable (b), ConnectionBus (s)
  Refuse (b): OpenDevice answers NotAuthorized, as polkit does when the user says no
  IdType (s): a file system or member type on the whole disk (crypto_LUKS, ...)
  Partitions (aa{sv}): Number (u), Type (s), IdType (s), IdLabel (s), MountPoint (s)
OpenDevice hands back a descriptor of the image; Mount and Unmount change MountPoints;
Rescan does nothing.
'''

import os

import dbus

from dbusmock import MOCK_IFACE
from dbusmock import mockobject

SYSTEM_BUS = True
BUS_NAME = 'org.freedesktop.UDisks2'
MAIN_OBJ = '/org/freedesktop/UDisks2'
IS_OBJECT_MANAGER = True

BLOCK = 'org.freedesktop.UDisks2.Block'
DRIVE = 'org.freedesktop.UDisks2.Drive'
FILESYSTEM = 'org.freedesktop.UDisks2.Filesystem'
PARTITION = 'org.freedesktop.UDisks2.Partition'
TABLE = 'org.freedesktop.UDisks2.PartitionTable'
NOT_AUTHORIZED = 'org.freedesktop.UDisks2.Error.NotAuthorized'


def load(mock, parameters):
    mock.disk_objects = {}


def _bytes(text):
    return dbus.Array([dbus.Byte(b) for b in text.encode() + b'\0'], signature='y')


def _mount_points(points):
    return dbus.Array([_bytes(p) for p in points], signature='ay')


def _open_device(self, mode, options):
    mock_props = self.props[BLOCK]
    if bool(mock_props.get('MockRefuse', False)):
        raise dbus.exceptions.DBusException('Not authorized to perform operation', name=NOT_AUTHORIZED)
    flags = os.O_RDWR if mode == 'rw' else os.O_RDONLY
    return dbus.types.UnixFd(os.open(str(mock_props['MockImage']), flags | os.O_CLOEXEC))


def _mount(self, options):
    where = '/media/mock/' + os.path.basename(bytes(self.props[BLOCK]['Device'][:-1]).decode())
    self.UpdateProperties(FILESYSTEM, {'MountPoints': _mount_points([where])})
    return where


def _unmount(self, options):
    self.UpdateProperties(FILESYSTEM, {'MountPoints': _mount_points([])})


def _rescan(self, options):
    pass


def _add_block(manager, path, props, extra):
    manager.AddObject(path, BLOCK, props, [])
    obj = mockobject.objects[path]
    obj.AddMethods(BLOCK, [('OpenDevice', 'sa{sv}', 'h', _open_device), ('Rescan', 'a{sv}', '', _rescan)])
    for interface, interface_props in extra.items():
        obj.AddProperties(interface, interface_props)
    if FILESYSTEM in extra:
        obj.AddMethods(FILESYSTEM, [('Mount', 'a{sv}', 's', _mount), ('Unmount', 'a{sv}', '', _unmount)])
    manager.object_manager_emit_added(path)
    return path


@dbus.service.method(MOCK_IFACE, in_signature='sa{sv}', out_signature='')
def AddDisk(self, name, spec):
    drive = '/org/freedesktop/UDisks2/drives/' + name
    self.AddObject(drive, DRIVE, {
        'Removable': dbus.Boolean(spec.get('Removable', spec.get('MediaRemovable', False))),
        'MediaRemovable': dbus.Boolean(spec.get('MediaRemovable', False)),
        'ConnectionBus': dbus.String(spec.get('ConnectionBus', 'usb')),
        'Size': dbus.UInt64(spec.get('Size', 0)),
    }, [])
    self.object_manager_emit_added(drive)
    paths = [drive]
    disk = '/org/freedesktop/UDisks2/block_devices/' + name
    common = {
        'Drive': dbus.ObjectPath(drive),
        'HintSystem': dbus.Boolean(spec.get('HintSystem', False)),
        'CryptoBackingDevice': dbus.ObjectPath('/'),
        'MDRaidMember': dbus.ObjectPath('/'),
        'MockImage': dbus.String(spec.get('Image', '/nonexistent')),
        'MockRefuse': dbus.Boolean(spec.get('Refuse', False)),
    }
    partitions = spec.get('Partitions', [])
    disk_props = dict(common, Device=_bytes('/dev/' + name), Size=dbus.UInt64(spec.get('Size', 0)),
                      IdType=dbus.String(spec.get('IdType', '')), IdLabel=dbus.String(''))
    extra = {TABLE: {'Type': dbus.String('dos')}} if partitions else {}
    paths.append(_add_block(self, disk, disk_props, extra))
    for part in partitions:
        number = int(part['Number'])
        path = disk + str(number)
        props = dict(common, Device=_bytes('/dev/%s%d' % (name, number)), Size=dbus.UInt64(0),
                     IdType=dbus.String(part.get('IdType', '')), IdLabel=dbus.String(part.get('IdLabel', '')))
        extra = {PARTITION: {'Number': dbus.UInt32(number), 'Type': dbus.String(part.get('Type', '0x0c')),
                             'Table': dbus.ObjectPath(disk)}}
        if part.get('IdType', '') in ('vfat', 'exfat', 'ext4', 'btrfs', 'ntfs'):
            point = str(part.get('MountPoint', ''))
            extra[FILESYSTEM] = {'MountPoints': _mount_points([point] if point else [])}
        paths.append(_add_block(self, path, props, extra))
    self.disk_objects[name] = paths


@dbus.service.method(MOCK_IFACE, in_signature='s', out_signature='')
def RemoveDisk(self, name):
    for path in reversed(self.disk_objects.pop(name, [])):
        self.object_manager_emit_removed(path)
        self.RemoveObject(path)
