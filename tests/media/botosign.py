# Signs S3 requests with botocore, as an independent check of the program's own signer.
# stdin: a JSON list of {method, url, headers: {name: value}, body (Base64), time
# ("YYYYMMDDTHHMMSSZ"), access, secret, region}; stdout: a JSON list of Authorization values.
import base64
import datetime
import json
import sys
from types import SimpleNamespace
from unittest import mock

from botocore import auth
from botocore.awsrequest import AWSRequest
from botocore.credentials import Credentials

results = []
for r in json.load(sys.stdin):
    at = datetime.datetime.strptime(r["time"], "%Y%m%dT%H%M%SZ")
    request = AWSRequest(method=r["method"], url=r["url"], data=base64.b64decode(r["body"]),
                         headers=r["headers"])
    request.context["client_config"] = SimpleNamespace(s3={"payload_signing_enabled": True})
    signer = auth.S3SigV4Auth(Credentials(r["access"], r["secret"]), "s3", r["region"])
    with mock.patch.object(auth, "datetime") as fake:
        fake.datetime.utcnow.return_value = at
        fake.datetime.strptime = datetime.datetime.strptime
        signer.add_auth(request)
    results.append(request.headers["Authorization"])
json.dump(results, sys.stdout)
