# The tables as another reader of XML property lists reads them: plistlib, printing JSON in the
# form fromJSON reads.
import datetime, json, plistlib, sys
def plain(v):
    if isinstance(v, dict): return {k: plain(x) for k, x in v.items()}
    if isinstance(v, list): return [plain(x) for x in v]
    if isinstance(v, datetime.datetime): return {'$date': v.strftime('%Y-%m-%dT%H:%M:%SZ')}
    if isinstance(v, bytes): return {'$data': __import__('base64').b64encode(v).decode()}
    return v
print(json.dumps(plain(plistlib.load(open(sys.argv[1], 'rb')))))
