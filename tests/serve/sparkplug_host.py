#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""A Sparkplug host's view of the broker, decoded apart from the service.

The payload classes are made here, at test time, by protoc --python_out
from the service's .proto, and read with Python's own protobuf: a fault in
the service's encoding cannot hide behind a decoder that shares its code.

  sparkplug_host.py PROTO decode   lines "RETAIN TOPIC HEX" on stdin (what
                                   mosquitto_sub -F '%r %t %x' prints), one
                                   JSON object a line on stdout
  sparkplug_host.py PROTO encode JSON
                                   the payload JSON describes ({"timestamp":
                                   ms, "metrics": [{"name", "alias",
                                   "datatype", "value"}]}) on stdout
"""
import atexit
import json
import os
import shutil
import subprocess
import sys
import tempfile


def load(proto):
    out = tempfile.mkdtemp(prefix="sparkplug-py-")
    atexit.register(shutil.rmtree, out, True)
    subprocess.run(["protoc", "--python_out=" + out, "-I" + os.path.dirname(proto),
                    proto], check=True)
    sys.path.insert(0, out)
    import sparkplug_b_pb2
    return sparkplug_b_pb2


def value_of(m):
    which = m.WhichOneof("value")
    return None if which is None else getattr(m, which)


def properties(ps):
    found = {}
    for key, v in zip(ps.keys, ps.values):
        which = v.WhichOneof("value")
        found[key] = None if which is None else getattr(v, which)
    return found


def decode(pb):
    for line in sys.stdin:
        parts = line.rstrip("\n").split(" ")
        if len(parts) < 2:
            continue
        retained, topic = parts[0] == "1", parts[1]
        raw = bytes.fromhex(parts[2] if len(parts) > 2 else "")
        out = {"topic": topic, "retained": retained, "size": len(raw)}
        if topic.startswith("spBv1.0/STATE/") or topic.startswith("STATE/"):
            out["text"] = raw.decode("utf-8", "replace")
        else:
            p = pb.Payload()
            try:
                p.ParseFromString(raw)
            except Exception as e:  # a payload the host cannot read is reported, not skipped
                out["error"] = str(e)
            else:
                out["timestamp"] = p.timestamp if p.HasField("timestamp") else None
                out["seq"] = p.seq if p.HasField("seq") else None
                out["metrics"] = [{
                    "name": m.name if m.HasField("name") else None,
                    "alias": m.alias if m.HasField("alias") else None,
                    "timestamp": m.timestamp if m.HasField("timestamp") else None,
                    "datatype": m.datatype if m.HasField("datatype") else None,
                    "historical": m.is_historical,
                    "null": m.is_null,
                    "value": value_of(m),
                    "properties": properties(m.properties) if m.HasField("properties") else {},
                } for m in p.metrics]
        print(json.dumps(out), flush=True)


def encode(pb, fields):
    p = pb.Payload()
    if "timestamp" in fields:
        p.timestamp = fields["timestamp"]
    if "seq" in fields:
        p.seq = fields["seq"]
    for s in fields.get("metrics", []):
        m = p.metrics.add()
        if "name" in s:
            m.name = s["name"]
        if "alias" in s:
            m.alias = s["alias"]
        m.datatype = s["datatype"]
        field = {11: "boolean_value", 12: "string_value", 9: "float_value",
                 10: "double_value", 3: "int_value", 4: "long_value"}[s["datatype"]]
        setattr(m, field, s["value"])
    sys.stdout.buffer.write(p.SerializeToString())


def main():
    pb = load(os.path.abspath(sys.argv[1]))
    if sys.argv[2] == "decode":
        decode(pb)
    else:
        encode(pb, json.loads(sys.argv[3]))


if __name__ == "__main__":
    main()
