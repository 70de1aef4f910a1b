<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>Dongle</name>
    <message>
        <source>Headset revision mismatch</source>
        <translation>Headset revision mismatch</translation>
    </message>
    <message>
        <source>Headset not available while controlling LINK/Chair</source>
        <translation>Headset not available while controlling LINK/Chair</translation>
    </message>
    <message>
        <source>Query Devices</source>
        <translation>Query Devices</translation>
    </message>
    <message>
        <source>Leave Service</source>
        <translation>Leave Service</translation>
    </message>
    <message>
        <source>Headset</source>
        <translation>Headset</translation>
    </message>
    <message>
        <source>Dongle</source>
        <translation>Dongle</translation>
    </message>
</context>
<context>
    <name>OrvixDirector</name>
    <message>
        <source>Dongle
connected</source>
        <translation>Dongle
connected</translation>
    </message>
    <message>
        <source>&lt;p&gt;Your dongle is not compatible with this version of OrvixTools&lt;/p&gt;&lt;p&gt;Protocol revision mismatch&lt;/p&gt;&lt;a style=&quot;%1&quot; href=&quot;%2&quot;&gt;Download the latest version&lt;/a&gt;</source>
        <translation>&lt;p&gt;Your dongle is not compatible with this version of OrvixTools&lt;/p&gt;&lt;p&gt;Protocol revision mismatch&lt;/p&gt;&lt;a style=&quot;%1&quot; href=&quot;%2&quot;&gt;Download the latest version&lt;/a&gt;</translation>
    </message>
    <message>
        <source>&lt;p&gt;Your dongle is not compatible with this version of OrvixTools&lt;/p&gt;&lt;p&gt;Protocol revision mismatch&lt;/p&gt;&lt;a style=&quot;%1&quot; href=&quot;%2&quot;&gt;Download the previous version&lt;/a&gt;</source>
        <translation>&lt;p&gt;Your dongle is not compatible with this version of OrvixTools&lt;/p&gt;&lt;p&gt;Protocol revision mismatch&lt;/p&gt;&lt;a style=&quot;%1&quot; href=&quot;%2&quot;&gt;Download the previous version&lt;/a&gt;</translation>
    </message>
    <message>
        <source>Dongle not connected</source>
        <translation>Dongle not connected</translation>
    </message>
    <message>
        <source>Unable to connect to dongle, remove dongle from USB and reconnect it back again.</source>
        <translation>Unable to connect to dongle, remove dongle from USB and reconnect it back again.</translation>
    </message>
    <message>
        <source>Headset communication failure</source>
        <translation>Headset communication failure</translation>
    </message>
    <message>
        <source>Do you want to try again?</source>
        <translation>Do you want to try again?</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>No</source>
        <translation>No</translation>
    </message>
    <message>
        <source>OrvixTools</source>
        <translation>OrvixTools</translation>
    </message>
    <message>
        <source>Show ...</source>
        <translation>Show ...</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Quit</translation>
    </message>
    <message>
        <source>Orvix tools</source>
        <translation>Orvix tools</translation>
    </message>
    <message>
        <source>Started</source>
        <translation>Started</translation>
    </message>
    <message>
        <source>Software update</source>
        <translation>Software update</translation>
    </message>
    <message>
        <source>Software update to %1 is available.&lt;br&gt;Do you want to update now?</source>
        <translation>Software update to %1 is available.&lt;br&gt;Do you want to update now?</translation>
    </message>
    <message>
        <source>Update</source>
        <translation>Update</translation>
    </message>
    <message>
        <source>Not now</source>
        <translation>Not now</translation>
    </message>
    <message>
        <source>The software update could not be started. Please install the update manually.</source>
        <translation>The software update could not be started. Please install the update manually.</translation>
    </message>
    <message>
        <source>Downloading software update v %1. Installation will start automatically, please wait.</source>
        <translation>Downloading software update v %1. Installation will start automatically, please wait.</translation>
    </message>
    <message>
        <source>The software update could not be installed.&lt;br&gt;&lt;br&gt;%1</source>
        <translation>The software update could not be installed.&lt;br&gt;&lt;br&gt;%1</translation>
    </message>
</context>
<context>
    <name>ProfileManager</name>
    <message>
        <source>The dongle&apos;s settings may differ from the profile shown.</source>
        <translation>The dongle&apos;s settings may differ from the profile shown.</translation>
    </message>
</context>
<context>
    <name>ProgressDialog</name>
    <message>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Link Drive</source>
        <translation>Link Drive</translation>
    </message>
    <message>
        <source>Link Actuator</source>
        <translation>Link Actuator</translation>
    </message>
    <message>
        <source>PC #1</source>
        <translation>PC #1</translation>
    </message>
    <message>
        <source>PC #2</source>
        <translation>PC #2</translation>
    </message>
    <message>
        <source>Chair Drive</source>
        <translation>Chair Drive</translation>
    </message>
    <message>
        <source>Chair Mouse</source>
        <translation>Chair Mouse</translation>
    </message>
    <message>
        <source>Chair Actuator</source>
        <translation>Chair Actuator</translation>
    </message>
    <message>
        <source>Link Outdoor Drive</source>
        <translation>Link Outdoor Drive</translation>
    </message>
    <message>
        <source>Unknown Preset</source>
        <translation>Unknown Preset</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>unknown</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>Ok</translation>
    </message>
    <message>
        <source>Checksum mismatch</source>
        <translation>Checksum mismatch</translation>
    </message>
    <message>
        <source>Invalid response</source>
        <translation>Invalid response</translation>
    </message>
    <message>
        <source>Command queue is empty</source>
        <translation>Command queue is empty</translation>
    </message>
    <message>
        <source>Operation timed out</source>
        <translation>Operation timed out</translation>
    </message>
    <message>
        <source>Query channel map failed</source>
        <translation>Query channel map failed</translation>
    </message>
    <message>
        <source>No headset connected</source>
        <translation>No headset connected</translation>
    </message>
    <message>
        <source>Headset is active</source>
        <translation>Headset is active</translation>
    </message>
    <message>
        <source>Invalid command</source>
        <translation>Invalid command</translation>
    </message>
    <message>
        <source>Invalid revision</source>
        <translation>Invalid revision</translation>
    </message>
    <message>
        <source>Exception</source>
        <translation>Exception</translation>
    </message>
    <message>
        <source>Invalid dongle state</source>
        <translation>Invalid dongle state</translation>
    </message>
    <message>
        <source>Dongle is not in service mode</source>
        <translation>Dongle is not in service mode</translation>
    </message>
    <message>
        <source>Not implemented</source>
        <translation>Not implemented</translation>
    </message>
    <message>
        <source>Unknwon error</source>
        <translation>Unknwon error</translation>
    </message>
    <message>
        <source>less than 1 minute</source>
        <translation>less than 1 minute</translation>
    </message>
    <message>
        <source>less than %1 minutes</source>
        <translation>less than %1 minutes</translation>
    </message>
    <message>
        <source>less than %1 hours</source>
        <translation>less than %1 hours</translation>
    </message>
    <message>
        <source>more than a day</source>
        <translation>more than a day</translation>
    </message>
    <message>
        <source>Failed</source>
        <translation>Failed</translation>
    </message>
    <message>
        <source>Aborted</source>
        <translation>Aborted</translation>
    </message>
</context>
<context>
    <name>SidebarDialog</name>
    <message>
        <source>OrvixTools</source>
        <translation>OrvixTools</translation>
    </message>
    <message>
        <source>Show or hide OrvixTools</source>
        <translation>Show or hide OrvixTools</translation>
    </message>
    <message>
        <source>Dongle</source>
        <translation>Dongle</translation>
    </message>
    <message>
        <source>No dongle</source>
        <translation>No dongle</translation>
    </message>
    <message>
        <source>No headset</source>
        <translation>No headset</translation>
    </message>
    <message>
        <source>Active</source>
        <translation>Active</translation>
    </message>
    <message>
        <source>Passive</source>
        <translation>Passive</translation>
    </message>
    <message>
        <source>The on-screen keyboard did not start</source>
        <translation>The on-screen keyboard did not start</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Turn on turbo mode</source>
        <translation>Turn on turbo mode</translation>
    </message>
</context>
</TS>
