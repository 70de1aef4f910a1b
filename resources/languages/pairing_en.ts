<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>OX::PairingPage</name>
    <message>
        <source>not initialized</source>
        <translation>not initialized</translation>
    </message>
    <message>
        <source>not initialized: Remove Dongle</source>
        <translation>not initialized: Remove Dongle</translation>
    </message>
    <message>
        <source>entering service mode</source>
        <translation>entering service mode</translation>
    </message>
    <message>
        <source>looking for headset (turn on headset in service mode)</source>
        <translation>looking for headset (turn on headset in service mode)</translation>
    </message>
    <message>
        <source>waiting for channelmap</source>
        <translation>waiting for channelmap</translation>
    </message>
    <message>
        <source>looking for devices (turn on LINK(s) in service mode)</source>
        <translation>looking for devices (turn on LINK(s) in service mode)</translation>
    </message>
    <message>
        <source>Pairing</source>
        <translation>Pairing</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>Leaving pairing page</source>
        <translation>Leaving pairing page</translation>
    </message>
    <message>
        <source>No device added to headset. 
Are you sure that you want to leave the page?</source>
        <translation>No device added to headset. 
Are you sure that you want to leave the page?</translation>
    </message>
    <message>
        <source>Stay on page</source>
        <translation>Stay on page</translation>
    </message>
    <message>
        <source>Leave page</source>
        <translation>Leave page</translation>
    </message>
    <message>
        <source>Network may changed</source>
        <translation>Network may changed</translation>
    </message>
    <message>
        <source>If you add new device to your network it have the same password to be able to communicate with your devices.

Do you want to change the password?</source>
        <translation>If you add new device to your network it have the same password to be able to communicate with your devices.

Do you want to change the password?</translation>
    </message>
    <message>
        <source>Change password</source>
        <translation>Change password</translation>
    </message>
    <message>
        <source>Keep current password</source>
        <translation>Keep current password</translation>
    </message>
    <message>
        <source>Unable to enter service mode</source>
        <translation>Unable to enter service mode</translation>
    </message>
    <message>
        <source>Please remove the dongle, wait 10 seconds and insert it again!
It may redirect you to the previous page.</source>
        <translation>Please remove the dongle, wait 10 seconds and insert it again!
It may redirect you to the previous page.</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>Ok</translation>
    </message>
    <message>
        <source>Service mode required</source>
        <translation>Service mode required</translation>
    </message>
    <message>
        <source>Operation requires service mode, to enter service mode press &quot;Enter service mode&quot; otherwise you have to leave pairing</source>
        <translation>Operation requires service mode, to enter service mode press &quot;Enter service mode&quot; otherwise you have to leave pairing</translation>
    </message>
    <message>
        <source>Enter service mode</source>
        <translation>Enter service mode</translation>
    </message>
    <message>
        <source>Leave pairing</source>
        <translation>Leave pairing</translation>
    </message>
    <message>
        <source>Headset in service mode</source>
        <translation>Headset in service mode</translation>
    </message>
    <message>
        <source>Your headset is in unnecessary service mode.
Please turn Off your headset than turn it On again. The headset details will appear on the center of the screen.</source>
        <translation>Your headset is in unnecessary service mode.
Please turn Off your headset than turn it On again. The headset details will appear on the center of the screen.</translation>
    </message>
    <message>
        <source>The dongle was removed</source>
        <translation>The dongle was removed</translation>
    </message>
    <message>
        <source>The network is full: a headset can hold %1 devices</source>
        <translation>The network is full: a headset can hold %1 devices</translation>
    </message>
    <message>
        <source>Address %1 of this network belongs to another device (%2): remove it first, or pair in the other role</source>
        <translation>Address %1 of this network belongs to another device (%2): remove it first, or pair in the other role</translation>
    </message>
    <message>
        <source>Pair with headset</source>
        <translation>Pair with headset</translation>
    </message>
    <message>
        <source>Are you sure you want to pair headset

%1

with this dongle?</source>
        <translation>Are you sure you want to pair headset

%1

with this dongle?</translation>
    </message>
    <message>
        <source>Pair as computer #1</source>
        <translation>Pair as computer #1</translation>
    </message>
    <message>
        <source>Pair as computer #2</source>
        <translation>Pair as computer #2</translation>
    </message>
    <message>
        <source>No</source>
        <translation>No</translation>
    </message>
    <message>
        <source>Set Address</source>
        <translation>Set Address</translation>
    </message>
    <message>
        <source>Set PAN</source>
        <translation>Set PAN</translation>
    </message>
    <message>
        <source>Set CMAP</source>
        <translation>Set CMAP</translation>
    </message>
    <message>
        <source>Bind headset failed</source>
        <translation>Bind headset failed</translation>
    </message>
    <message>
        <source>Bind headset done</source>
        <translation>Bind headset done</translation>
    </message>
    <message>
        <source>Bind Link</source>
        <translation>Bind Link</translation>
    </message>
    <message>
        <source>Are you sure you want to pair LINK

%1

with this headset?</source>
        <translation>Are you sure you want to pair LINK

%1

with this headset?</translation>
    </message>
    <message>
        <source>As Primary Chair</source>
        <translation>As Primary Chair</translation>
    </message>
    <message>
        <source>As Secondary Chair</source>
        <translation>As Secondary Chair</translation>
    </message>
    <message>
        <source>Pair link with headset (%1) failed</source>
        <translation>Pair link with headset (%1) failed</translation>
    </message>
    <message>
        <source>Bind LINK failed</source>
        <translation>Bind LINK failed</translation>
    </message>
    <message>
        <source>Bind LINK done</source>
        <translation>Bind LINK done</translation>
    </message>
    <message>
        <source>Remove device failed</source>
        <translation>Remove device failed</translation>
    </message>
    <message>
        <source>Remove device</source>
        <translation>Remove device</translation>
    </message>
    <message>
        <source>Are you sure you want to remove

%1

from the network?</source>
        <translation>Are you sure you want to remove

%1

from the network?</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>Leave Service Mode</source>
        <translation>Leave Service Mode</translation>
    </message>
    <message>
        <source>Remove failed</source>
        <translation>Remove failed</translation>
    </message>
    <message>
        <source>Remove device (%1) failed</source>
        <translation>Remove device (%1) failed</translation>
    </message>
    <message>
        <source>This dongle was left as it was.</source>
        <translation>This dongle was left as it was.</translation>
    </message>
    <message>
        <source>This dongle stays on its own network; the headset was not changed.</source>
        <translation>This dongle stays on its own network; the headset was not changed.</translation>
    </message>
    <message>
        <source>This dongle has joined the headset&apos;s network, but the headset&apos;s device list does not hold it: pair the headset again.</source>
        <translation>This dongle has joined the headset&apos;s network, but the headset&apos;s device list does not hold it: pair the headset again.</translation>
    </message>
    <message>
        <source>The LINK was left as it was.</source>
        <translation>The LINK was left as it was.</translation>
    </message>
    <message>
        <source>The LINK has joined this network under its old address; the headset&apos;s device list does not hold it: pair the LINK again.</source>
        <translation>The LINK has joined this network under its old address; the headset&apos;s device list does not hold it: pair the LINK again.</translation>
    </message>
    <message>
        <source>The LINK has joined this network, but the headset&apos;s device list does not hold it: pair the LINK again.</source>
        <translation>The LINK has joined this network, but the headset&apos;s device list does not hold it: pair the LINK again.</translation>
    </message>
    <message>
        <source>The device is still in the network.</source>
        <translation>The device is still in the network.</translation>
    </message>
    <message>
        <source>The device has left the network, but the headset&apos;s device list still holds it.</source>
        <translation>The device has left the network, but the headset&apos;s device list still holds it.</translation>
    </message>
    <message>
        <source>The dongle was unplugged while a device was being paired or removed. The dongle, the headset or a LINK may already have a new address, network or device list. Once the dongle is back, pair or remove the device again on the Pairing page.</source>
        <translation>The dongle was unplugged while a device was being paired or removed. The dongle, the headset or a LINK may already have a new address, network or device list. Once the dongle is back, pair or remove the device again on the Pairing page.</translation>
    </message>
</context>
<context>
    <name>PairingPage</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>Headsets</source>
        <translation>Headsets</translation>
    </message>
    <message>
        <source>Links / Devices</source>
        <translation>Links / Devices</translation>
    </message>
</context>
<context>
    <name>OX::ServiceMode</name>
    <message>
        <source>Leave Service Mode</source>
        <translation>Leave Service Mode</translation>
    </message>
    <message>
        <source>A device may still be in service mode</source>
        <translation>A device may still be in service mode</translation>
    </message>
    <message>
        <source>Not every device answered the request to leave service mode. Switch off and on again the devices that still show service mode.</source>
        <translation>Not every device answered the request to leave service mode. Switch off and on again the devices that still show service mode.</translation>
    </message>
</context>
</TS>
