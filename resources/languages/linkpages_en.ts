<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="en">
<context>
    <name>LinkPage</name>
    <message>
        <location filename="../../ui/link/LinkPage.ui" line="26" />
        <source>General</source>
        <translation>General</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.ui" line="31" />
        <source>Driving Forward</source>
        <translation>Driving Forward</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.ui" line="36" />
        <source>Turning</source>
        <translation>Turning</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.ui" line="52" />
        <source>Previous</source>
        <translation>Previous</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.ui" line="65" />
        <source>Next</source>
        <translation>Next</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.ui" line="68" />
        <source>Ctrl+S</source>
        <translation>Ctrl+S</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="41" />
        <source>Deadzone is the range of small head movements where the chair won't react to the movements of your head. This range applies to slow to average chair speed. This will also set the minimum value of your highspeed deadzone.</source>
        <translation>Deadzone is the range of small head movements where the chair won't react to the movements of your head. This range applies to slow to average chair speed. This will also set the minimum value of your highspeed deadzone.</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="48" />
        <source>Set drive properties</source>
        <translation>Set drive properties</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="49" />
        <source>Here you can change your driving gesture direction and set your reversing preferences.</source>
        <translation>Here you can change your driving gesture direction and set your reversing preferences.</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="52" />
        <source>Set forward movement range</source>
        <translation>Set forward movement range</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="53" />
        <source>How do you wish to move and speed the chair forward? Start tilting your head  in the range you wish the chair to react. 
 Alternatively, you can drag an move the icons on the picture.</source>
        <translation>How do you wish to move and speed the chair forward? Start tilting your head  in the range you wish the chair to react. 
 Alternatively, you can drag an move the icons on the picture.</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="58" />
        <source>Set forward safety limit</source>
        <translation>Set forward safety limit</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="59" />
        <source>To avoid moving forward when your headset is making a very big movement (e.g. a sudden event grabs your attention), please set your safety limit.</source>
        <translation>To avoid moving forward when your headset is making a very big movement (e.g. a sudden event grabs your attention), please set your safety limit.</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="64" />
        <source>Set backward movement range</source>
        <translation>Set backward movement range</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="65" />
        <source>How do you wish to move and speed the chair backwards? Start tilting your head  in the range you wish the chair to react. 
 Alternatively, you can drag an move the icons on the picture.</source>
        <translation>How do you wish to move and speed the chair backwards? Start tilting your head  in the range you wish the chair to react. 
 Alternatively, you can drag an move the icons on the picture.</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="70" />
        <source>Set backward safety limit</source>
        <translation>Set backward safety limit</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="71" />
        <source>To avoid moving backward when your headset is making a very big movement (e.g. a sudden event grabs your attention), please set your safety limit.</source>
        <translation>To avoid moving backward when your headset is making a very big movement (e.g. a sudden event grabs your attention), please set your safety limit.</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="76" />
        <source>Set slowspeed deadzone</source>
        <translation>Set slowspeed deadzone</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="78" />
        <location filename="../../ui/link/LinkPage.cpp" line="109" />
        <source>Set highspeed deadzone</source>
        <translation>Set highspeed deadzone</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="79" />
        <source>Deadzone is the range of small head movements where the chair won't react to the movements of your head. This setting applies to maximum chair speed. To lower the zone values, change the slowspeed deadzone settings first.</source>
        <translation>Deadzone is the range of small head movements where the chair won't react to the movements of your head. This setting applies to maximum chair speed. To lower the zone values, change the slowspeed deadzone settings first.</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="86" />
        <source>Set turning right</source>
        <translation>Set turning right</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="87" />
        <source>Press Start and tilt or turn your head in the range you wish the chair to react and move to the right. 
 Alternatively, you can drag an move the icons on the picture. </source>
        <translation>Press Start and tilt or turn your head in the range you wish the chair to react and move to the right. 
 Alternatively, you can drag an move the icons on the picture. </translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="91" />
        <source>Set safety limit to the right</source>
        <translation>Set safety limit to the right</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="92" />
        <source>To avoid turning to the right when your headset is making a very big movement (e.g. a sudden event grabs your attention), please set your safety limit.</source>
        <translation>To avoid turning to the right when your headset is making a very big movement (e.g. a sudden event grabs your attention), please set your safety limit.</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="96" />
        <source>Set turning left</source>
        <translation>Set turning left</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="97" />
        <source>Press Start and tilt or turn your head in the range you wish the chair to react and move to the left. 
 Alternatively, you can drag an move the icons on the picture.</source>
        <translation>Press Start and tilt or turn your head in the range you wish the chair to react and move to the left. 
 Alternatively, you can drag an move the icons on the picture.</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="101" />
        <source>Set safety limit to the left</source>
        <translation>Set safety limit to the left</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="102" />
        <source>To avoid turning to the left when your headset is making a very big movement (e.g. a sudden event grabs your attention), please set your safety limit.</source>
        <translation>To avoid turning to the left when your headset is making a very big movement (e.g. a sudden event grabs your attention), please set your safety limit.</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="107" />
        <source>Set slowpeed deadzone</source>
        <translation>Set slowpeed deadzone</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="110" />
        <source>Deadzone is the range of small head movements where the chair won't react to the movements of your head. This setting applies to maximum chair speed. To lower min. value, change the slowspeed deadzone settings first.</source>
        <translation>Deadzone is the range of small head movements where the chair won't react to the movements of your head. This setting applies to maximum chair speed. To lower min. value, change the slowspeed deadzone settings first.</translation>
    </message>
</context>
<context>
    <name>LinkSelectionPage</name>
    <message>
        <location filename="../../ui/link/LinkSelectionPage.ui" line="36" />
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Select LINK to get details than press &lt;span style=" font-weight:600;"&gt;Settings&lt;/span&gt; to change LINK parameters. if you connect an other LINK to the network press &lt;span style=" font-weight:600;"&gt;Refresh&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Select LINK to get details than press &lt;span style=" font-weight:600;"&gt;Settings&lt;/span&gt; to change LINK parameters. if you connect an other LINK to the network press &lt;span style=" font-weight:600;"&gt;Refresh&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
</context>
<context>
    <name>OX::LinkPage</name>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="318" />
        <source>Link lost, save parameters failed</source>
        <translation>Link lost, save parameters failed</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="356" />
        <source>Reset Parameters</source>
        <translation>Reset Parameters</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="376" />
        <source>Apply</source>
        <translation>Apply</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="377" />
        <source>Revert</source>
        <translation>Revert</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="433" />
        <source>Link not present</source>
        <translation>Link not present</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="434" />
        <source>Turn link ON or exit service mode by long tap on Link's button (red indicator light will off).</source>
        <translation>Turn link ON or exit service mode by long tap on Link's button (red indicator light will off).</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="436" />
        <source>Press cancel to leave Link settings page.</source>
        <translation>Press cancel to leave Link settings page.</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="437" />
        <source>Retry</source>
        <translation>Retry</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="437" />
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="439" />
        <source>Save settings</source>
        <translation>Save settings</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="440" />
        <source>Before changing the settings, would you like Orvix Tools to save this version as a back up?</source>
        <translation>Before changing the settings, would you like Orvix Tools to save this version as a back up?</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="442" />
        <source>If you select yes, you will be able to revert back to the current settings after making changes that you end up not liking.</source>
        <translation>If you select yes, you will be able to revert back to the current settings after making changes that you end up not liking.</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="445" />
        <source>Save</source>
        <translation>Save</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="445" />
        <source>Don't save</source>
        <translation>Don't save</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="492" />
        <source>Link</source>
        <translation>Link</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="494" />
        <source>Back</source>
        <translation>Back</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="521" />
        <source>You have changes in your selected link profile. Do you want to apply changes?</source>
        <translation>You have changes in your selected link profile. Do you want to apply changes?</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="522" />
        <source>Link settings about to leave</source>
        <translation>Link settings about to leave</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="522" />
        <source>Stay on page</source>
        <translation>Stay on page</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="522" />
        <source>Dismiss and leave page</source>
        <translation>Dismiss and leave page</translation>
    </message>
</context>
<context>
    <name>OX::LinkSelectionPage</name>
    <message>
        <location filename="../../ui/link/LinkSelectionPage.cpp" line="78" />
        <source>Link selection</source>
        <translation>Link selection</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkSelectionPage.cpp" line="80" />
        <source>Back</source>
        <translation>Back</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkSelectionPage.cpp" line="81" />
        <source>Settings</source>
        <translation>Settings</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkSelectionPage.cpp" line="82" />
        <source>Refresh</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkSelectionPage.cpp" line="254" />
        <source>PAN</source>
        <translation>PAN</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkSelectionPage.cpp" line="255" />
        <source>Address</source>
        <translation>Address</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkSelectionPage.cpp" line="256" />
        <source>Version</source>
        <translation>Version</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkSelectionPage.cpp" line="263" />
        <source>Revision</source>
        <translation>Revision</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkSelectionPage.cpp" line="264" />
        <source>Serial</source>
        <translation>Serial</translation>
    </message>
</context>
</TS>