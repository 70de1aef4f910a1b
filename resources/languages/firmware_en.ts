<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>DFUConnectForm</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Connect the Micro USB cable to the LINK and the other end to the Dongle, please.&lt;/p&gt;&lt;p&gt;Press the &lt;span style=&quot; font-weight:600;&quot;&gt;Connect&lt;/span&gt; button when you are done.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Connect the Micro USB cable to the LINK and the other end to the Dongle, please.&lt;/p&gt;&lt;p&gt;Press the &lt;span style=&quot; font-weight:600;&quot;&gt;Connect&lt;/span&gt; button when you are done.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
</context>
<context>
    <name>DFUFailedForm</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>Firmware update failed</source>
        <translation>Firmware update failed</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Remove the dongle, than disconnect the cable of the Link from the dongle.&lt;/p&gt;&lt;p&gt;Re-connect the Dongle to the computer to leave firmware update mode.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Remove the dongle, than disconnect the cable of the Link from the dongle.&lt;/p&gt;&lt;p&gt;Re-connect the Dongle to the computer to leave firmware update mode.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
</context>
<context>
    <name>DFUGetFirmwareForm</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Now you can select which firmware do you want to use.&lt;/p&gt;&lt;p&gt;After the selection is made the &lt;span style=&quot; font-weight:600;&quot;&gt;Upload &lt;/span&gt;button will be available.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Now you can select which firmware do you want to use.&lt;/p&gt;&lt;p&gt;After the selection is made the &lt;span style=&quot; font-weight:600;&quot;&gt;Upload &lt;/span&gt;button will be available.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Currrent Version:</source>
        <translation>Currrent Version:</translation>
    </message>
    <message>
        <source>XX.YY.ZZ</source>
        <translation>XX.YY.ZZ</translation>
    </message>
    <message>
        <source>Online version:</source>
        <translation>Online version:</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>Download</translation>
    </message>
    <message>
        <source>Not connected to the internet</source>
        <translation>Not connected to the internet</translation>
    </message>
    <message>
        <source>estimated time:</source>
        <translation>estimated time:</translation>
    </message>
    <message>
        <source>less then 1 minute</source>
        <translation>less then 1 minute</translation>
    </message>
    <message>
        <source>Use already donwloaded or custom firmware</source>
        <translation>Use already donwloaded or custom firmware</translation>
    </message>
    <message>
        <source>Browse</source>
        <translation>Browse</translation>
    </message>
</context>
<context>
    <name>DFUSucceededForm</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>Firmware update succeeded</source>
        <translation>Firmware update succeeded</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;The firmware update completed, follow the instructions below.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;The firmware update completed, follow the instructions below.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Remove the dongle, than disconnect the cable of the Link from the dongle.&lt;/p&gt;&lt;p&gt;Re-connect the Dongle to the computer to leave firmware update mode.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Remove the dongle, than disconnect the cable of the Link from the dongle.&lt;/p&gt;&lt;p&gt;Re-connect the Dongle to the computer to leave firmware update mode.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
</context>
<context>
    <name>DFUUploadForm</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Upload in progress&lt;/p&gt;&lt;p&gt;When the upload is finished the &lt;span style=&quot; font-weight:600;&quot;&gt;Finish&lt;/span&gt; button will be available&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Upload in progress&lt;/p&gt;&lt;p&gt;When the upload is finished the &lt;span style=&quot; font-weight:600;&quot;&gt;Finish&lt;/span&gt; button will be available&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Upload in progress</source>
        <translation>Upload in progress</translation>
    </message>
    <message>
        <source>estimated time:</source>
        <translation>estimated time:</translation>
    </message>
    <message>
        <source>less then a minute</source>
        <translation>less then a minute</translation>
    </message>
</context>
<context>
    <name>DFUWelcomeForm</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-size:18pt; font-weight:600;&quot;&gt;Welcome to the firmware update process! &lt;/span&gt;&lt;/p&gt;&lt;p&gt;We will guide you through the LINK firmware update, please note the following ... &lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-size:18pt; font-weight:600;&quot;&gt;Welcome to the firmware update process! &lt;/span&gt;&lt;/p&gt;&lt;p&gt;We will guide you through the LINK firmware update, please note the following ... &lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-weight:600;&quot;&gt;Do not start firmware update process without assistance!&lt;/span&gt;&lt;/p&gt;&lt;p&gt;At the end of the process you will have to remove the dongle from the computer to leave firmware update mode.&lt;/p&gt;&lt;p&gt;Connect your chair to the power source.&lt;/p&gt;&lt;p&gt;Do not turn off the LINK during firmware update.&lt;/p&gt;&lt;p&gt;If you would like to start firmware update now, press the &lt;span style=&quot; font-weight:600;&quot;&gt;Continue&lt;/span&gt; button, otherwise just leave this screen.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-weight:600;&quot;&gt;Do not start firmware update process without assistance!&lt;/span&gt;&lt;/p&gt;&lt;p&gt;At the end of the process you will have to remove the dongle from the computer to leave firmware update mode.&lt;/p&gt;&lt;p&gt;Connect your chair to the power source.&lt;/p&gt;&lt;p&gt;Do not turn off the LINK during firmware update.&lt;/p&gt;&lt;p&gt;If you would like to start firmware update now, press the &lt;span style=&quot; font-weight:600;&quot;&gt;Continue&lt;/span&gt; button, otherwise just leave this screen.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
</context>
<context>
    <name>OX::DFUConnectForm</name>
    <message>
        <source>Connect</source>
        <translation>Connect</translation>
    </message>
    <message>
        <source>Get Version</source>
        <translation>Get Version</translation>
    </message>
    <message>
        <source>GET service mode state</source>
        <translation>GET service mode state</translation>
    </message>
    <message>
        <source>Connect to link failed</source>
        <translation>Connect to link failed</translation>
    </message>
    <message>
        <source>Link error</source>
        <translation>Link error</translation>
    </message>
    <message>
        <source>Please put the link to service mode</source>
        <translation>Please put the link to service mode</translation>
    </message>
    <message>
        <source>Connect to link done</source>
        <translation>Connect to link done</translation>
    </message>
    <message>
        <source>Dongle not connected or lost.</source>
        <translation>Dongle not connected or lost.</translation>
    </message>
    <message>
        <source>Link not found. Would you like to start the recovery mode?</source>
        <translation>Link not found. Would you like to start the recovery mode?</translation>
    </message>
    <message>
        <source>Link not found</source>
        <translation>Link not found</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>Dismiss and Leave page</source>
        <translation>Dismiss and Leave page</translation>
    </message>
    <message>
        <source>Unable to communicate with the link.</source>
        <translation>Unable to communicate with the link.</translation>
    </message>
</context>
<context>
    <name>OX::DFUFailedForm</name>
    <message>
        <source>Failed</source>
        <translation>Failed</translation>
    </message>
</context>
<context>
    <name>OX::DFUGetFirmwareForm</name>
    <message>
        <source>Select firmware</source>
        <translation>Select firmware</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Unknown</translation>
    </message>
    <message>
        <source>Upload</source>
        <translation>Upload</translation>
    </message>
    <message>
        <source>Checking internet connection</source>
        <translation>Checking internet connection</translation>
    </message>
    <message>
        <source>No update service is set</source>
        <translation>No update service is set</translation>
    </message>
    <message>
        <source>The update service cannot be reached</source>
        <translation>The update service cannot be reached</translation>
    </message>
    <message>
        <source>Unable to write Application folder.</source>
        <translation>Unable to write Application folder.</translation>
    </message>
    <message>
        <source>Checking available firmware</source>
        <translation>Checking available firmware</translation>
    </message>
    <message>
        <source>Error during firmware version check</source>
        <translation>Error during firmware version check</translation>
    </message>
    <message>
        <source>New Link firmware available</source>
        <translation>New Link firmware available</translation>
    </message>
    <message>
        <source>There is no new Link firmware available</source>
        <translation>There is no new Link firmware available</translation>
    </message>
    <message>
        <source>Downloading firmware</source>
        <translation>Downloading firmware</translation>
    </message>
    <message>
        <source>Error during firmware download</source>
        <translation>Error during firmware download</translation>
    </message>
    <message>
        <source>New firmware succesfull downloaded</source>
        <translation>New firmware succesfull downloaded</translation>
    </message>
    <message>
        <source>New firmware downloaded into the list; the firmware chosen there stays chosen</source>
        <translation>New firmware downloaded into the list; the firmware chosen there stays chosen</translation>
    </message>
    <message>
        <source>Firmware file</source>
        <translation>Firmware file</translation>
    </message>
    <message>
        <source>The firmware folder already holds a different file named %1. Rename your file and select it again.</source>
        <translation>The firmware folder already holds a different file named %1. Rename your file and select it again.</translation>
    </message>
    <message>
        <source>Unable to copy %1 into the firmware folder.</source>
        <translation>Unable to copy %1 into the firmware folder.</translation>
    </message>
    <message>
        <source>Dongle not connected or lost.</source>
        <translation>Dongle not connected or lost.</translation>
    </message>
    <message>
        <source>Unable to start Link bootloader.</source>
        <translation>Unable to start Link bootloader.</translation>
    </message>
</context>
<context>
    <name>OX::DFURecoveryForm</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p align=&quot;center&quot;&gt;&lt;span style=&quot; font-size:18pt; font-weight:600;&quot;&gt;Dead link recovery mode &lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p align=&quot;center&quot;&gt;&lt;span style=&quot; font-size:18pt; font-weight:600;&quot;&gt;Dead link recovery mode &lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Recovery mode</source>
        <translation>Recovery mode</translation>
    </message>
    <message>
        <source>Continue</source>
        <translation>Continue</translation>
    </message>
</context>
<context>
    <name>OX::DFUSender</name>
    <message>
        <source>Dongle not connected or lost.</source>
        <translation>Dongle not connected or lost.</translation>
    </message>
    <message>
        <source>Dongle error, could not start Xmodem.</source>
        <translation>Dongle error, could not start Xmodem.</translation>
    </message>
</context>
<context>
    <name>OX::DFUSucceededForm</name>
    <message>
        <source>Succeeded</source>
        <translation>Succeeded</translation>
    </message>
</context>
<context>
    <name>OX::DFUUploadForm</name>
    <message>
        <source>Upload</source>
        <translation>Upload</translation>
    </message>
    <message>
        <source>Finish</source>
        <translation>Finish</translation>
    </message>
    <message>
        <source>Waiting for link to start bootloader</source>
        <translation>Waiting for link to start bootloader</translation>
    </message>
    <message>
        <source>Updating firmware</source>
        <translation>Updating firmware</translation>
    </message>
    <message>
        <source>Link firmware upload failed.</source>
        <translation>Link firmware upload failed.</translation>
    </message>
    <message>
        <source>The LINK was left half-written and does not start its firmware: update it again in recovery mode.</source>
        <translation>The LINK was left half-written and does not start its firmware: update it again in recovery mode.</translation>
    </message>
    <message>
        <source>Upload finished</source>
        <translation>Upload finished</translation>
    </message>
    <message>
        <source>Link firmware upload failed, waiting for start bootloader timed out.</source>
        <translation>Link firmware upload failed, waiting for start bootloader timed out.</translation>
    </message>
    <message>
        <source>The upload was stopped. The LINK was left half-written and does not start its firmware: update it again in recovery mode.</source>
        <translation>The upload was stopped. The LINK was left half-written and does not start its firmware: update it again in recovery mode.</translation>
    </message>
    <message>
        <source>Firmware update</source>
        <translation>Firmware update</translation>
    </message>
    <message>
        <source>The firmware upload did not complete. The LINK was left half-written and does not start its firmware: connect the dongle and the LINK again, then update it in recovery mode.</source>
        <translation>The firmware upload did not complete. The LINK was left half-written and does not start its firmware: connect the dongle and the LINK again, then update it in recovery mode.</translation>
    </message>
    <message>
        <source>Firmware update succeeded</source>
        <translation>Firmware update succeeded</translation>
    </message>
    <message>
        <source>The LINK firmware was updated. Remove the dongle, then disconnect the cable of the LINK from the dongle. Connect the dongle again to leave firmware update mode.</source>
        <translation>The LINK firmware was updated. Remove the dongle, then disconnect the cable of the LINK from the dongle. Connect the dongle again to leave firmware update mode.</translation>
    </message>
</context>
<context>
    <name>OX::DFUWelcomeForm</name>
    <message>
        <source>Continue</source>
        <translation>Continue</translation>
    </message>
    <message>
        <source>Welcome</source>
        <translation>Welcome</translation>
    </message>
    <message>
        <source>Dongle not connected or lost.</source>
        <translation>Dongle not connected or lost.</translation>
    </message>
    <message>
        <source>Unable to enter firmware update mode.</source>
        <translation>Unable to enter firmware update mode.</translation>
    </message>
</context>
<context>
    <name>OX::FirmwarePage</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>Placeholder</source>
        <translation>Placeholder</translation>
    </message>
    <message>
        <source>Prev</source>
        <translation>Prev</translation>
    </message>
    <message>
        <source>Next</source>
        <translation>Next</translation>
    </message>
    <message>
        <source>Firmware update</source>
        <translation>Firmware update</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>The dongle was lost during the upload. The LINK was left half-written and does not start its firmware: connect the dongle and the LINK again, then update it in recovery mode.</source>
        <translation>The dongle was lost during the upload. The LINK was left half-written and does not start its firmware: connect the dongle and the LINK again, then update it in recovery mode.</translation>
    </message>
    <message>
        <source>The firmware upload is still running. Do you want to stop it?</source>
        <translation>The firmware upload is still running. Do you want to stop it?</translation>
    </message>
    <message>
        <source>A stopped upload leaves the LINK half-written: it does not start its firmware until it is updated again in recovery mode.</source>
        <translation>A stopped upload leaves the LINK half-written: it does not start its firmware until it is updated again in recovery mode.</translation>
    </message>
    <message>
        <source>Continue upload</source>
        <translation>Continue upload</translation>
    </message>
    <message>
        <source>Stop upload</source>
        <translation>Stop upload</translation>
    </message>
    <message>
        <source>A LINK firmware upload is running. Do you want to stop it and quit?</source>
        <translation>A LINK firmware upload is running. Do you want to stop it and quit?</translation>
    </message>
    <message>
        <source>Stop and quit</source>
        <translation>Stop and quit</translation>
    </message>
</context>
</TS>
