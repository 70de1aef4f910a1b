<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>CalibrationPage</name>
    <message>
        <source>Magnetometer</source>
        <translation>Magnetometer</translation>
    </message>
    <message>
        <source>Gyroscope</source>
        <translation>Gyroscope</translation>
    </message>
    <message>
        <source>Accelerometer</source>
        <translation>Accelerometer</translation>
    </message>
</context>
<context>
    <name>DeviceWidget</name>
    <message>
        <source>PAN:</source>
        <translation>PAN:</translation>
    </message>
    <message>
        <source>Address:</source>
        <translation>Address:</translation>
    </message>
    <message>
        <source>Serial:</source>
        <translation>Serial:</translation>
    </message>
</context>
<context>
    <name>DevicesPage</name>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;You can reorder your devices. Select a device in the list than press the &amp;quot;up&amp;quot; or &amp;quot;down&amp;quot; button or drag and drop it to the appropriate place.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;You can reorder your devices. Select a device in the list than press the &amp;quot;up&amp;quot; or &amp;quot;down&amp;quot; button or drag and drop it to the appropriate place.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
</context>
<context>
    <name>OX::CalibrationPage</name>
    <message>
        <source>Calibration</source>
        <translation>Calibration</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Reset</translation>
    </message>
    <message>
        <source>Don&apos;t touch the headset, leave it on the table</source>
        <translation>Don&apos;t touch the headset, leave it on the table</translation>
    </message>
    <message>
        <source>Rotate the headset in the air around it&apos;s all axes</source>
        <translation>Rotate the headset in the air around it&apos;s all axes</translation>
    </message>
    <message>
        <source>Rotate the heaset, after every 45° on each axis keep it still for a moment</source>
        <translation>Rotate the heaset, after every 45° on each axis keep it still for a moment</translation>
    </message>
    <message>
        <source>The calibration is complete. Press &quot;Back&quot; to finish the operation</source>
        <translation>The calibration is complete. Press &quot;Back&quot; to finish the operation</translation>
    </message>
    <message>
        <source>Headset not found</source>
        <translation>Headset not found</translation>
    </message>
    <message>
        <source>The headset did not go into calibration mode.</source>
        <translation>The headset did not go into calibration mode.</translation>
    </message>
    <message>
        <source>The headset did not confirm that it went into calibration mode.</source>
        <translation>The headset did not confirm that it went into calibration mode.</translation>
    </message>
    <message>
        <source>The headset did not confirm that it left calibration mode.</source>
        <translation>The headset did not confirm that it left calibration mode.</translation>
    </message>
</context>
<context>
    <name>OX::DevicesPage</name>
    <message>
        <source>Headset not found</source>
        <translation>Headset not found</translation>
    </message>
    <message>
        <source>Dongle not connected</source>
        <translation>Dongle not connected</translation>
    </message>
    <message>
        <source>Devices</source>
        <translation>Devices</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Apply</translation>
    </message>
    <message>
        <source>Devices about to leave</source>
        <translation>Devices about to leave</translation>
    </message>
    <message>
        <source>You have change in your device order. Do you want to apply changes?</source>
        <translation>You have change in your device order. Do you want to apply changes?</translation>
    </message>
    <message>
        <source>Stay on page</source>
        <translation>Stay on page</translation>
    </message>
    <message>
        <source>Dismiss and leave page</source>
        <translation>Dismiss and leave page</translation>
    </message>
</context>
</TS>
