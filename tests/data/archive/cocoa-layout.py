# Writes cocoa-layout.prefs: a preference store laid out as the Cocoa keyed archiver lays it
# out, by plistlib's own binary writer. Usage: python3 cocoa-layout.py cocoa-layout.prefs
import plistlib, sys
from plistlib import UID
objects = ['$null']
def add(o):
    objects.append(o)
    return UID(len(objects) - 1)
mdict = add({'$classname': 'NSMutableDictionary',
             '$classes': ['NSMutableDictionary', 'NSDictionary', 'NSObject']})
marray = add({'$classname': 'NSMutableArray', '$classes': ['NSMutableArray', 'NSArray', 'NSObject']})
mstring = add({'$classname': 'NSMutableString', '$classes': ['NSMutableString', 'NSString', 'NSObject']})
date = add({'$classname': 'NSDate', '$classes': ['NSDate', 'NSObject']})
def dictionary(pairs):
    return add({'NS.keys': [add(k) for k, _ in pairs], 'NS.objects': [v for _, v in pairs],
                '$class': mdict})
accounts = add({'NS.objects': [add({'NS.string': 'Checking', '$class': mstring}),
                               add('Caf\u00e9 \u20ac')] + [add('n%d' % i) for i in range(300)],
                '$class': marray})
root = dictionary([('Accounts', accounts), ('amountsPrecision', add(3)), ('big', add(2**40)),
                   ('flag', add(True)), ('ratio', add(1.5)),
                   ('when', add({'NS.time': 757382400.5, '$class': date})),
                   ('blob', add(b'\x00\x01')),
                   ('ControlSettings', dictionary([('x', add(-1))]))])
archive = {'$archiver': 'NSKeyedArchiver', '$version': 100000, '$top': {'root': root},
           '$objects': objects}
open(sys.argv[1], 'wb').write(plistlib.dumps(archive, fmt=plistlib.FMT_BINARY))
