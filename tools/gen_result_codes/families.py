"""The result-code families the trace names, and where each one is defined.

A family is a set of names taken from one header (or from the extra data
file) by prefix and, for winerror.h, by facility. The order of FAMILIES is
the order of precedence where families that are not DirectX share a value,
and the order in which DirectX names sharing a value are joined.
"""

import re

SYSTEM = "system"

# Facilities of the COM and OLE results in winerror.h: NULL, RPC, DISPATCH,
# STORAGE, ITF, WIN32 and WINDOWS.
COM_FACILITIES = {0, 1, 2, 3, 4, 7, 8}

# winerror.h names that sit among the COM results but belong to families the
# trace does not name: the COM+ event system (EVENT_, which shares values with
# DirectInput) and distributed transactions (XACT_, not the audio engine).
COM_EXCLUDED_PREFIXES = ("EVENT_", "XACT_")

# winerror.h names below 0x10000 that are not system errors.
SYSTEM_EXCLUDED = re.compile(r"^(FACILITY_|SEVERITY_|__|S_OK$|S_FALSE$|NOERROR$|SEC_|NTE_|TBS_)")


class Family:
    def __init__(self, key, header, prefixes, directx=False, select=None):
        self.key = key
        self.header = header
        self.prefixes = prefixes
        self.directx = directx
        self.select = select  # extra test on (name, value); None takes all

    def takes(self, name, header, value):
        if header != self.header or not name.startswith(self.prefixes):
            return False
        return self.select is None or self.select(name, value)


def _facility(value):
    return (value >> 16) & 0x1FFF


def _is_com(name, value):
    if name in ("S_OK", "S_FALSE"):
        return True
    return value >= 0x10000 and _facility(value) in COM_FACILITIES and not name.startswith(COM_EXCLUDED_PREFIXES)


def _is_hresult(name, value):
    return value >= 0x10000


def _is_system(name, value):
    return value < 0x10000 and not SYSTEM_EXCLUDED.match(name)


def _in_facility(facility):
    return lambda name, value: _facility(value) == facility


ANY = ("",)

FAMILIES = [
    # COM and OLE, with their neighbours in the same facilities.
    Family("com", "winerror.h", ANY, select=_is_com),
    # Security, certificates and smart cards.
    Family("security", "winerror.h", ("SEC_", "CRYPT_", "NTE_", "CERT_", "CERTSRV_", "TRUST_", "SCARD_"),
           select=_is_hresult),
    # Management instrumentation (an enumeration in wbemcli.h).
    Family("wbem", "wbemcli.h", ("WBEM_E_", "WBEM_S_", "WBEMMOF_E_", "WBEM_NO_ERROR")),
    # Component services and device setup.
    Family("complus", "winerror.h", ("COMADMIN_", "COMQC_"), select=_is_hresult),
    Family("setupapi", "winerror.h", ("SPAPI_",), select=_is_hresult),
    # The few ERROR_ names defined as result codes rather than as numbers.
    Family("error-hresult", "winerror.h", ("ERROR_",), select=_is_hresult),
    # Win32 system errors: every number below 0x10000, whatever its family
    # (ERROR_, WSA, RPC_S_, DNS_, SCHED_, FRS_, EPT_, OR_, ...).
    Family(SYSTEM, "winerror.h", ANY, select=_is_system),
    # DirectX.
    Family("ddraw", "ddraw.h", ("DDERR_",), directx=True),
    Family("d3d9", "d3d9.h", ("D3DERR_", "D3DOK_"), directx=True),
    Family("d3dx9", "d3dx9.h", ("D3DXERR_",), directx=True),
    Family("dxfile", "dxfile.h", ("DXFILEERR_",), directx=True),
    Family("d3dxof", "d3dx9xof.h", ("D3DXFERR_",), directx=True),
    # DS_CERTIFIED and DS_UNCERTIFIED are driver states, not results.
    Family("dsound", "dsound.h", ("DSERR_", "DS_"), directx=True, select=_in_facility(0x878)),
    Family("dinput", "dinput.h", ("DIERR_",), directx=True),
    Family("dmusic", "dmerror.h", ("DMUS_E_", "DMUS_S_"), directx=True),
    Family("dplay", "dplay8.h", ("DPNERR_",), directx=True),
    Family("dvoice", "dvoice.h", ("DVERR_", "DV_"), directx=True),
    Family("dshow", "vfwmsgs.h", ("VFW_",), directx=True),
    Family("xact", "xact3.h", ("XACTENGINE_",), directx=True),
    # Media objects share their values with DirectShow and DirectInput and are
    # named only beside them.
    Family("dmo", "mediaerr.h", ("DMO_",), directx=True),
]

JOIN_ONLY = {"dmo"}

HEADERS = [
    "winerror.h", "wbemcli.h", "ddraw.h", "d3d9.h", "d3d9types.h", "d3dx9.h", "dxfile.h",
    "d3dx9xof.h", "dsound.h", "dinput.h", "dmerror.h", "dplay8.h", "vfwmsgs.h", "mediaerr.h",
]

# Names that mark the ends of a range rather than name a result.
MARKER = re.compile(r"(_FIRST|_LAST|_BASE|BASEERR|_MASK)$")


def is_marker(name, all_names):
    if MARKER.search(name):
        return True
    # A _BEGIN/_END pair brackets a range as well.
    for a, b in (("_BEGIN", "_END"), ("_END", "_BEGIN")):
        if name.endswith(a) and name[: -len(a)] + b in all_names:
            return True
    return False


def family_of(name, header, value):
    for family in FAMILIES:
        if family.takes(name, header, value):
            return family
    return None
