"""What a build was configured with, for the benchmarks: read from its CMake
cache into the environment the end-to-end harness reads when imported."""

import os
from pathlib import Path


def apply(build):
    """Sets the stand-in's ports, the support number (in the window's caption)
    and the program of the build at build; call before importing harness."""
    build = Path(build).resolve()
    for line in (build / "CMakeCache.txt").read_text().splitlines():
        name, _, value = line.partition("=")
        name = name.partition(":")[0]
        if name in ("TOVAKIDOVIV_SITE_HOST", "TOVAKIDOVIV_SOFTWARE_HOST", "TOVAKIDOVIV_CHAT_HOST"):
            os.environ[name.replace("_HOST", "_PORT")] = value.rsplit(":", 1)[1]
        elif name == "TOVAKIDOVIV_SUPPORT_NUMBER":
            os.environ[name] = value
    os.environ["TOVAKIDOVIV_BINARY"] = str(build / "tovakidoviv")
