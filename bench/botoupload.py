# botocore's multipart upload of one file to a local S3 server, for the upload benchmark.
# Usage: botoupload.py ENDPOINT BUCKET KEY FILE PART_SIZE; prints the seconds it took.
import sys
import time

import botocore.session
from botocore.config import Config

endpoint, bucket, key, path, part_size = sys.argv[1:6]
part_size = int(part_size)
client = botocore.session.get_session().create_client(
    "s3", endpoint_url=endpoint, region_name="us-east-1", aws_access_key_id="S3RVER",
    aws_secret_access_key="S3RVER", config=Config(s3={"addressing_style": "path"}))
client.list_buckets()   # connection and signer set up outside the timing

start = time.perf_counter()
upload = client.create_multipart_upload(Bucket=bucket, Key=key, ACL="public-read",
                                        ContentType="application/octet-stream")
parts = []
with open(path, "rb") as f:
    number = 1
    while True:
        data = f.read(part_size)
        if not data:
            break
        r = client.upload_part(Bucket=bucket, Key=key, PartNumber=number,
                               UploadId=upload["UploadId"], Body=data)
        parts.append({"PartNumber": number, "ETag": r["ETag"]})
        number += 1
client.complete_multipart_upload(Bucket=bucket, Key=key, UploadId=upload["UploadId"],
                                 MultipartUpload={"Parts": parts})
print(time.perf_counter() - start)
