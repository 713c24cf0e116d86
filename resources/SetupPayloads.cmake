# The setup program's payload list: type, identifier, the file name a vendor's payload folder
# (TAVRIN_PAYLOAD_DIR) gives it, and what this build carries when that folder has no such file.
# The control application and the uninstaller are this build's own and cannot be replaced.
set(TAVRIN_STANDINS "${PROJECT_SOURCE_DIR}/standins/payloads")
set(TAVRIN_SETUP_PAYLOADS
    "DRIVER|102|Ovalt-x86.sys|${TAVRIN_STANDINS}/Ovalt-x86.sys"
    "DRIVER|103|Ovalt-x64.sys|${TAVRIN_STANDINS}/Ovalt-x64.sys"
    "SERVICE|105|QuorvelService-x86.exe|QuorvelService"
    "SERVICE|106|QuorvelService-x64.exe|QuorvelService"
    "APP|107||Tavrin"
    "UNINSTALL|108||TavrinUninstall"
    "WINDOWPATCH|110|Windows6.1-KB3033929-x64.msu|${TAVRIN_STANDINS}/Windows6.1-KB3033929-x64.msu"
    "APP|111|TavrinEffect.exe|TavrinEffect"
    "APP|112|TavrinSoundEffect.exe|TavrinSoundEffect"
)
