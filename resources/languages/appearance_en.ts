<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>AppearancePage</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>Toolbar options</source>
        <translation>Toolbar options</translation>
    </message>
    <message>
        <source>Show toolbar</source>
        <translation>Show toolbar</translation>
    </message>
    <message>
        <source>Horizontal toolbar</source>
        <translation>Horizontal toolbar</translation>
    </message>
    <message>
        <source>Toolbar opacity</source>
        <translation>Toolbar opacity</translation>
    </message>
    <message>
        <source>Make toolbar non-transparent on mouseover</source>
        <translation>Make toolbar non-transparent on mouseover</translation>
    </message>
    <message>
        <source>Toolbar size</source>
        <translation>Toolbar size</translation>
    </message>
    <message>
        <source>Stick toolbar to primary screen</source>
        <translation>Stick toolbar to primary screen</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Does not apply to Absolute mode, where you won&apos;t able to place sidbar to any other location then the primary screen, regadless of this selection.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Does not apply to Absolute mode, where you won't able to place sidbar to any other location then the primary screen, regadless of this selection.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Feedback</source>
        <translation>Feedback</translation>
    </message>
    <message>
        <source>Show visual feedback when the headset changes  the device to control</source>
        <translation>Show visual feedback when the headset changes  the device to control</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>Appearance</source>
        <translation>Appearance</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Reset</translation>
    </message>
</context>
<context>
    <name>HelpPage</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Back</translation>
    </message>
</context>
<context>
    <name>MasterDetailView</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
</context>
<context>
    <name>MouseProfile</name>
    <message>
        <source>Normal</source>
        <translation>Normal</translation>
    </message>
    <message>
        <source>Restricted</source>
        <translation>Restricted</translation>
    </message>
    <message>
        <source>Tremor</source>
        <translation>Tremor</translation>
    </message>
</context>
<context>
    <name>ProfileSelectionDialog</name>
    <message>
        <source>Create Profile</source>
        <translation>Create Profile</translation>
    </message>
    <message>
        <source>Select the base profile</source>
        <translation>Select the base profile</translation>
    </message>
    <message>
        <source>Profile name:</source>
        <translation>Profile name:</translation>
    </message>
    <message>
        <source>Automatically generated name</source>
        <translation>Automatically generated name</translation>
    </message>
</context>
<context>
    <name>TimeoutDialog</name>
    <message>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
    <message>
        <source>TextLabel</source>
        <translation>TextLabel</translation>
    </message>
</context>
<context>
    <name>OX::AppearancePage</name>
    <message>
        <source>Appearance</source>
        <translation>Appearance</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Reset</translation>
    </message>
</context>
<context>
    <name>OX::HelpPage</name>
    <message>
        <source>Help</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>The manual cannot be shown: its viewer is missing from this installation.</source>
        <translation>The manual cannot be shown: its viewer is missing from this installation.</translation>
    </message>
    <message>
        <source>The manual cannot be shown while OrvixTools runs as the system administrator (root).</source>
        <translation>The manual cannot be shown while OrvixTools runs as the system administrator (root).</translation>
    </message>
    <message>
        <source>The manual cannot be shown: its viewer stopped. Restart OrvixTools to read it again.</source>
        <translation>The manual cannot be shown: its viewer stopped. Restart OrvixTools to read it again.</translation>
    </message>
    <message>
        <source>The manual cannot be shown: it is missing from this installation.</source>
        <translation>The manual cannot be shown: it is missing from this installation.</translation>
    </message>
</context>
</TS>
