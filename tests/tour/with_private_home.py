"""Runs a command with a home of its own: HOME and the per-user folders
(configuration, cache, data, state, runtime) in a fresh temporary folder that
is removed afterwards, so that a test run neither depends on nor leaves
anything in the user's home.

    python3 with_private_home.py COMMAND [ARGUMENT...]
"""
import os
import subprocess
import sys
import tempfile

FOLDERS = (
    ("HOME", ""),
    ("XDG_CONFIG_HOME", ".config"),
    ("XDG_CACHE_HOME", ".cache"),
    ("XDG_DATA_HOME", os.path.join(".local", "share")),
    ("XDG_STATE_HOME", os.path.join(".local", "state")),
    ("XDG_RUNTIME_DIR", "runtime"),
)


def main(command):
    with tempfile.TemporaryDirectory(prefix="pelmora-home-") as home:
        env = dict(os.environ)
        for variable, folder in FOLDERS:
            path = os.path.join(home, folder)
            os.makedirs(path, exist_ok=True)
            os.chmod(path, 0o700)
            env[variable] = path
        return subprocess.call(command, env=env)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
