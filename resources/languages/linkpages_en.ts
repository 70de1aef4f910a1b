<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>LinkPage</name>
    <message>
        <location filename="../../ui/link/LinkPage.ui" line="26"/>
        <source>General</source>
        <translation>General</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.ui" line="31"/>
        <source>Driving Forward</source>
        <translation>Driving Forward</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.ui" line="36"/>
        <source>Turning</source>
        <translation>Turning</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.ui" line="52"/>
        <source>Previous</source>
        <translation>Previous</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.ui" line="65"/>
        <source>Next</source>
        <translation>Next</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.ui" line="68"/>
        <source>Ctrl+S</source>
        <translation>Ctrl+S</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="32"/>
        <source>Deadzone is the range of small head movements where the chair won&apos;t react to the movements of your head. This range applies to slow to average chair speed. This will also set the minimum value of your highspeed deadzone.</source>
        <translation>Deadzone is the range of small head movements where the chair won&apos;t react to the movements of your head. This range applies to slow to average chair speed. This will also set the minimum value of your highspeed deadzone.</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="39"/>
        <source>Set drive properties</source>
        <translation>Set drive properties</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="40"/>
        <source>Here you can change your driving gesture direction and set your reversing preferences.</source>
        <translation>Here you can change your driving gesture direction and set your reversing preferences.</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="43"/>
        <source>Set forward movement range</source>
        <translation>Set forward movement range</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="44"/>
        <source>How do you wish to move and speed the chair forward? Start tilting your head  in the range you wish the chair to react. 
 Alternatively, you can drag an move the icons on the picture.</source>
        <translation>How do you wish to move and speed the chair forward? Start tilting your head  in the range you wish the chair to react. 
 Alternatively, you can drag an move the icons on the picture.</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="49"/>
        <source>Set forward safety limit</source>
        <translation>Set forward safety limit</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="50"/>
        <source>To avoid moving forward when your headset is making a very big movement (e.g. a sudden event grabs your attention), please set your safety limit.</source>
        <translation>To avoid moving forward when your headset is making a very big movement (e.g. a sudden event grabs your attention), please set your safety limit.</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="55"/>
        <source>Set backward movement range</source>
        <translation>Set backward movement range</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="56"/>
        <source>How do you wish to move and speed the chair backwards? Start tilting your head  in the range you wish the chair to react. 
 Alternatively, you can drag an move the icons on the picture.</source>
        <translation>How do you wish to move and speed the chair backwards? Start tilting your head  in the range you wish the chair to react. 
 Alternatively, you can drag an move the icons on the picture.</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="61"/>
        <source>Set backward safety limit</source>
        <translation>Set backward safety limit</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="62"/>
        <source>To avoid moving backward when your headset is making a very big movement (e.g. a sudden event grabs your attention), please set your safety limit.</source>
        <translation>To avoid moving backward when your headset is making a very big movement (e.g. a sudden event grabs your attention), please set your safety limit.</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="67"/>
        <source>Set slowspeed deadzone</source>
        <translation>Set slowspeed deadzone</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="69"/>
        <location filename="../../ui/link/LinkPageForms.cpp" line="100"/>
        <source>Set highspeed deadzone</source>
        <translation>Set highspeed deadzone</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="70"/>
        <source>Deadzone is the range of small head movements where the chair won&apos;t react to the movements of your head. This setting applies to maximum chair speed. To lower the zone values, change the slowspeed deadzone settings first.</source>
        <translation>Deadzone is the range of small head movements where the chair won&apos;t react to the movements of your head. This setting applies to maximum chair speed. To lower the zone values, change the slowspeed deadzone settings first.</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="77"/>
        <source>Set turning right</source>
        <translation>Set turning right</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="78"/>
        <source>Press Start and tilt or turn your head in the range you wish the chair to react and move to the right. 
 Alternatively, you can drag an move the icons on the picture. </source>
        <translation>Press Start and tilt or turn your head in the range you wish the chair to react and move to the right. 
 Alternatively, you can drag an move the icons on the picture. </translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="82"/>
        <source>Set safety limit to the right</source>
        <translation>Set safety limit to the right</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="83"/>
        <source>To avoid turning to the right when your headset is making a very big movement (e.g. a sudden event grabs your attention), please set your safety limit.</source>
        <translation>To avoid turning to the right when your headset is making a very big movement (e.g. a sudden event grabs your attention), please set your safety limit.</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="87"/>
        <source>Set turning left</source>
        <translation>Set turning left</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="88"/>
        <source>Press Start and tilt or turn your head in the range you wish the chair to react and move to the left. 
 Alternatively, you can drag an move the icons on the picture.</source>
        <translation>Press Start and tilt or turn your head in the range you wish the chair to react and move to the left. 
 Alternatively, you can drag an move the icons on the picture.</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="92"/>
        <source>Set safety limit to the left</source>
        <translation>Set safety limit to the left</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="93"/>
        <source>To avoid turning to the left when your headset is making a very big movement (e.g. a sudden event grabs your attention), please set your safety limit.</source>
        <translation>To avoid turning to the left when your headset is making a very big movement (e.g. a sudden event grabs your attention), please set your safety limit.</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="98"/>
        <source>Set slowpeed deadzone</source>
        <translation>Set slowpeed deadzone</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="101"/>
        <source>Deadzone is the range of small head movements where the chair won&apos;t react to the movements of your head. This setting applies to maximum chair speed. To lower min. value, change the slowspeed deadzone settings first.</source>
        <translation>Deadzone is the range of small head movements where the chair won&apos;t react to the movements of your head. This setting applies to maximum chair speed. To lower min. value, change the slowspeed deadzone settings first.</translation>
    </message>
</context>
<context>
    <name>LinkSelectionPage</name>
    <message>
        <location filename="../../ui/link/LinkSelectionPage.ui" line="36"/>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Select LINK to get details than press &lt;span style=&quot; font-weight:600;&quot;&gt;Settings&lt;/span&gt; to change LINK parameters. if you connect an other LINK to the network press &lt;span style=&quot; font-weight:600;&quot;&gt;Refresh&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Select LINK to get details than press &lt;span style=&quot; font-weight:600;&quot;&gt;Settings&lt;/span&gt; to change LINK parameters. if you connect an other LINK to the network press &lt;span style=&quot; font-weight:600;&quot;&gt;Refresh&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
</context>
<context>
    <name>OX::LinkPage</name>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="197"/>
        <source>Link lost, save parameters failed</source>
        <translation>Link lost, save parameters failed</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="235"/>
        <source>Reset Parameters</source>
        <translation>Reset Parameters</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="255"/>
        <source>Apply</source>
        <translation>Apply</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="256"/>
        <source>Revert</source>
        <translation>Revert</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="312"/>
        <source>Link not present</source>
        <translation>Link not present</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="313"/>
        <source>Turn link ON or exit service mode by long tap on Link&apos;s button (red indicator light will off).</source>
        <translation>Turn link ON or exit service mode by long tap on Link&apos;s button (red indicator light will off).</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="315"/>
        <source>Press cancel to leave Link settings page.</source>
        <translation>Press cancel to leave Link settings page.</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="316"/>
        <source>Retry</source>
        <translation>Retry</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="316"/>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="318"/>
        <source>Save settings</source>
        <translation>Save settings</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="319"/>
        <source>Before changing the settings, would you like Orvix Tools to save this version as a back up?</source>
        <translation>Before changing the settings, would you like Orvix Tools to save this version as a back up?</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="321"/>
        <source>If you select yes, you will be able to revert back to the current settings after making changes that you end up not liking.</source>
        <translation>If you select yes, you will be able to revert back to the current settings after making changes that you end up not liking.</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="324"/>
        <source>Save</source>
        <translation>Save</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="324"/>
        <source>Don&apos;t save</source>
        <translation>Don&apos;t save</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="371"/>
        <source>Link</source>
        <translation>Link</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="373"/>
        <source>Back</source>
        <translation>Back</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="400"/>
        <source>You have changes in your selected link profile. Do you want to apply changes?</source>
        <translation>You have changes in your selected link profile. Do you want to apply changes?</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="401"/>
        <source>Link settings about to leave</source>
        <translation>Link settings about to leave</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="401"/>
        <source>Stay on page</source>
        <translation>Stay on page</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="401"/>
        <source>Dismiss and leave page</source>
        <translation>Dismiss and leave page</translation>
    </message>
</context>
<context>
    <name>OX::LinkSelectionPage</name>
    <message>
        <source>Headset not found</source>
        <translation>Headset not found</translation>
    </message>
    <message>
        <source>Dongle not connected</source>
        <translation>Dongle not connected</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkSelectionPage.cpp" line="78"/>
        <source>Link selection</source>
        <translation>Link selection</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkSelectionPage.cpp" line="80"/>
        <source>Back</source>
        <translation>Back</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkSelectionPage.cpp" line="81"/>
        <source>Settings</source>
        <translation>Settings</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkSelectionPage.cpp" line="82"/>
        <source>Refresh</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkSelectionPage.cpp" line="254"/>
        <source>PAN</source>
        <translation>PAN</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkSelectionPage.cpp" line="255"/>
        <source>Address</source>
        <translation>Address</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkSelectionPage.cpp" line="256"/>
        <source>Version</source>
        <translation>Version</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkSelectionPage.cpp" line="263"/>
        <source>Revision</source>
        <translation>Revision</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkSelectionPage.cpp" line="264"/>
        <source>Serial</source>
        <translation>Serial</translation>
    </message>
</context>
</TS>
