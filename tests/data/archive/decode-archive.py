# Loads the archive with plistlib, follows the UIDs and prints the result as JSON in the form
# fromJSON reads (dates as {"$date": ...}, data as {"$data": base64}).
import base64, datetime, json, plistlib, sys
top = plistlib.loads(open(sys.argv[1], 'rb').read(), fmt=plistlib.FMT_BINARY)
objects = top['$objects']

def decode(uid):
    if uid.data == 0:
        return None
    o = objects[uid.data]
    if isinstance(o, dict):
        name = objects[o['$class'].data]['$classname']
        if name in ('NSMutableDictionary', 'NSDictionary'):
            return {decode(k): decode(v) for k, v in zip(o['NS.keys'], o['NS.objects'])}
        if name in ('NSMutableArray', 'NSArray'):
            return [decode(v) for v in o['NS.objects']]
        if name == 'NSDate':
            when = datetime.datetime(2001, 1, 1) + datetime.timedelta(seconds=o['NS.time'])
            return {'$date': when.strftime('%Y-%m-%dT%H:%M:%SZ')}
        if name in ('NSMutableString', 'NSString'):
            return o['NS.string'] if 'NS.string' in o else o['NS.bytes'].decode('utf-8')
        if name == 'NSNull':
            return None
        raise Exception('class ' + name)
    if isinstance(o, bytes):
        return {'$data': base64.b64encode(o).decode()}
    return o

print(json.dumps({'archiver': top['$archiver'], 'version': top['$version'],
                  'first': objects[0], 'root': decode(top['$top']['root'])}, ensure_ascii=False))
