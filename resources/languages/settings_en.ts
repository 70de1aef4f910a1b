<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>OrvixDirector</name>
    <message>
        <source>LINK profiles</source>
        <translation>LINK profiles</translation>
    </message>
    <message>
        <source>Settings not saved</source>
        <translation>Settings not saved</translation>
    </message>
    <message>
        <source>Settings reset</source>
        <translation>Settings reset</translation>
    </message>
    <message>
        <source>Your settings cannot be saved. Changes will not be kept after OrvixTools quits.</source>
        <translation>Your settings cannot be saved. Changes will not be kept after OrvixTools quits.</translation>
    </message>
    <message>
        <source>Your settings file was damaged. These settings were reset to their defaults: %1.&lt;br&gt;&lt;br&gt;The damaged file was kept beside the settings file.</source>
        <translation>Your settings file was damaged. These settings were reset to their defaults: %1.&lt;br&gt;&lt;br&gt;The damaged file was kept beside the settings file.</translation>
    </message>
    <message>
        <source>Your settings file was damaged. These settings were reset to their defaults: %1.&lt;br&gt;&lt;br&gt;No copy of the damaged file could be kept, so it was left as it is.</source>
        <translation>Your settings file was damaged. These settings were reset to their defaults: %1.&lt;br&gt;&lt;br&gt;No copy of the damaged file could be kept, so it was left as it is.</translation>
    </message>
    <message>
        <source>Changes to mouse profiles will not be saved until the settings file is repaired or removed.</source>
        <translation>Changes to mouse profiles will not be saved until the settings file is repaired or removed.</translation>
    </message>
    <message>
        <source>Settings file replaced</source>
        <translation>Settings file replaced</translation>
    </message>
    <message>
        <source>Your settings file was replaced by a damaged file while OrvixTools was running. The damaged file was kept beside the settings file; your settings stay as they were.</source>
        <translation>Your settings file was replaced by a damaged file while OrvixTools was running. The damaged file was kept beside the settings file; your settings stay as they were.</translation>
    </message>
    <message>
        <source>Your settings file was replaced by a damaged file while OrvixTools was running. No copy of it could be kept, so it was left as it is; your settings stay as they were.</source>
        <translation>Your settings file was replaced by a damaged file while OrvixTools was running. No copy of it could be kept, so it was left as it is; your settings stay as they were.</translation>
    </message>
    <message>
        <source>all settings</source>
        <translation>all settings</translation>
    </message>
    <message>
        <source>feedback</source>
        <translation>feedback</translation>
    </message>
    <message>
        <source>interface language</source>
        <translation>interface language</translation>
    </message>
    <message>
        <source>mouse profiles</source>
        <translation>mouse profiles</translation>
    </message>
    <message>
        <source>sidebar appearance</source>
        <translation>sidebar appearance</translation>
    </message>
    <message>
        <source>update service</source>
        <translation>update service</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Address of the software update service (https)</source>
        <translation>Address of the software update service (https)</translation>
    </message>
</context>
</TS>
