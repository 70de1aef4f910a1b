<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>ProfilesPage</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>Select Control Mode:</source>
        <translation>Select Control Mode:</translation>
    </message>
    <message>
        <source>Absolute</source>
        <translation>Absolute</translation>
    </message>
    <message>
        <source>Relative</source>
        <translation>Relative</translation>
    </message>
    <message>
        <source>Single Keystroke</source>
        <translation>Single Keystroke</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=" font-weight:600;"&gt;Absolute&lt;/span&gt; mode allows for a smoother experience: the mouse is just there where you want it to be, based on the current position of your head. You don't even have to adjust the mouse position on the edges. You can only control the mouse on your primary screen in this mode.&lt;/p&gt;&lt;p&gt;&lt;span style=" font-weight:600;"&gt;Relative&lt;/span&gt; mode provides the traditional head mouse experience where the cursor’s movements mimic the movement of your head.&lt;/p&gt;&lt;p&gt;In &lt;span style=" font-weight:600;"&gt;Single keystroke&lt;/span&gt; mode we enable you to use any assistance tools that support single keytroke to use your computer.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=" font-weight:600;"&gt;Absolute&lt;/span&gt; mode allows for a smoother experience: the mouse is just there where you want it to be, based on the current position of your head. You don't even have to adjust the mouse position on the edges. You can only control the mouse on your primary screen in this mode.&lt;/p&gt;&lt;p&gt;&lt;span style=" font-weight:600;"&gt;Relative&lt;/span&gt; mode provides the traditional head mouse experience where the cursor’s movements mimic the movement of your head.&lt;/p&gt;&lt;p&gt;In &lt;span style=" font-weight:600;"&gt;Single keystroke&lt;/span&gt; mode we enable you to use any assistance tools that support single keytroke to use your computer.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Set Center:</source>
        <translation>Set Center:</translation>
    </message>
    <message>
        <source>Automatic</source>
        <translation>Automatic</translation>
    </message>
    <message>
        <source>Timer</source>
        <translation>Timer</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=" font-weight:600;"&gt;Automatic&lt;/span&gt;: When your head stays still for a significant amount of time, we will automatically do the setting of the center for you.&lt;/p&gt;&lt;p&gt;&lt;span style=" font-weight:600;"&gt;Timer&lt;/span&gt;: On a short press of the headset button, you'll have a limited amount of time to move your head to the center. We'll do the counter for you.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=" font-weight:600;"&gt;Automatic&lt;/span&gt;: When your head stays still for a significant amount of time, we will automatically do the setting of the center for you.&lt;/p&gt;&lt;p&gt;&lt;span style=" font-weight:600;"&gt;Timer&lt;/span&gt;: On a short press of the headset button, you'll have a limited amount of time to move your head to the center. We'll do the counter for you.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Jump to center after:</source>
        <translation>Jump to center after:</translation>
    </message>
    <message>
        <source>seconds</source>
        <translation>seconds</translation>
    </message>
    <message>
        <source>Audio feedback (beep)</source>
        <translation>Audio feedback (beep)</translation>
    </message>
    <message>
        <source>Visual feedback (crosshair)</source>
        <translation>Visual feedback (crosshair)</translation>
    </message>
    <message>
        <source>...</source>
        <translation>...</translation>
    </message>
    <message>
        <source>If you use any single keystrike accessibility tool like "Assistive Context-Aware Toolkit", you can easly control it with your headset. Blinking will activate your selected key.</source>
        <translation>If you use any single keystrike accessibility tool like "Assistive Context-Aware Toolkit", you can easly control it with your headset. Blinking will activate your selected key.</translation>
    </message>
    <message>
        <source>Press any keyboard button to assign</source>
        <translation>Press any keyboard button to assign</translation>
    </message>
    <message>
        <source>Tremor Filter:</source>
        <translation>Tremor Filter:</translation>
    </message>
    <message>
        <source>Head Movement Ranges:</source>
        <translation>Head Movement Ranges:</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Set the range in which your head movements will be tracked.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Set the range in which your head movements will be tracked.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Horizontal:</source>
        <translation>Horizontal:</translation>
    </message>
    <message>
        <source>Vertical:</source>
        <translation>Vertical:</translation>
    </message>
    <message>
        <source>Autorange: allows you to extend the range by moving the cursor out of screen</source>
        <translation>Autorange: allows you to extend the range by moving the cursor out of screen</translation>
    </message>
    <message>
        <source>Mouse Speed:</source>
        <translation>Mouse Speed:</translation>
    </message>
</context>
<context>
    <name>SecurityPage</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>Enter password</source>
        <translation>Enter password</translation>
    </message>
    <message>
        <source>Retype password</source>
        <translation>Retype password</translation>
    </message>
    <message>
        <source>Set network password</source>
        <translation>Set network password</translation>
    </message>
</context>
<context>
    <name>OX::ProfilesPage</name>
    <message>
        <source>Press any keyboard button to assign</source>
        <translation>Press any keyboard button to assign</translation>
    </message>
    <message>
        <source>Press the button to assign a keyboard button</source>
        <translation>Press the button to assign a keyboard button</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Apply</translation>
    </message>
    <message>
        <source>Try It</source>
        <translation>Try It</translation>
    </message>
    <message>
        <source>Mouse Profiles</source>
        <translation>Mouse Profiles</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>Test Profile</source>
        <translation>Test Profile</translation>
    </message>
    <message>
        <source>Profile upload failed</source>
        <translation>Profile upload failed</translation>
    </message>
    <message>
        <source>Apply Profile</source>
        <translation>Apply Profile</translation>
    </message>
    <message>
        <source>Testing in progress</source>
        <translation>Testing in progress</translation>
    </message>
    <message>
        <source>Is it confortable? Do you want to keep changes?

After 30 seconds the settings will be reverted to the last state.</source>
        <translation>Is it confortable? Do you want to keep changes?

After 30 seconds the settings will be reverted to the last state.</translation>
    </message>
    <message>
        <source>Testing Profile</source>
        <translation>Testing Profile</translation>
    </message>
    <message>
        <source>Revert profile failed</source>
        <translation>Revert profile failed</translation>
    </message>
    <message>
        <source>Profile selected</source>
        <translation>Profile selected</translation>
    </message>
    <message>
        <source>You have changes in your selected profile. Do you want to dismiss changes?</source>
        <translation>You have changes in your selected profile. Do you want to dismiss changes?</translation>
    </message>
    <message>
        <source>Dismiss changes</source>
        <translation>Dismiss changes</translation>
    </message>
    <message>
        <source>Stay on profile</source>
        <translation>Stay on profile</translation>
    </message>
    <message>
        <source>Create profile</source>
        <translation>Create profile</translation>
    </message>
    <message>
        <source>Delete profile</source>
        <translation>Delete profile</translation>
    </message>
    <message>
        <source>Deleting "default" profile is not possible!</source>
        <translation>Deleting "default" profile is not possible!</translation>
    </message>
    <message>
        <source>Remove Profile</source>
        <translation>Remove Profile</translation>
    </message>
    <message>
        <source>Select Profile</source>
        <translation>Select Profile</translation>
    </message>
    <message>
        <source>Profile selection failed</source>
        <translation>Profile selection failed</translation>
    </message>
    <message>
        <source>Rename profile</source>
        <translation>Rename profile</translation>
    </message>
    <message>
        <source>A profile needs a name.</source>
        <translation>A profile needs a name.</translation>
    </message>
    <message>
        <source>A profile named "%1" already exists.</source>
        <translation>A profile named "%1" already exists.</translation>
    </message>
    <message>
        <source>The name "default" belongs to the default profile.</source>
        <translation>The name "default" belongs to the default profile.</translation>
    </message>
    <message>
        <source>The profile could not be renamed.</source>
        <translation>The profile could not be renamed.</translation>
    </message>
    <message>
        <source>Reset profile</source>
        <translation>Reset profile</translation>
    </message>
    <message>
        <source>Leave mouse profile settings</source>
        <translation>Leave mouse profile settings</translation>
    </message>
    <message>
        <source>You have changes in your selected profile. Do you want to apply changes?</source>
        <translation>You have changes in your selected profile. Do you want to apply changes?</translation>
    </message>
    <message>
        <source>Stay on page</source>
        <translation>Stay on page</translation>
    </message>
    <message>
        <source>Dismiss and Leave page</source>
        <translation>Dismiss and Leave page</translation>
    </message>
</context>
<context>
    <name>OX::SecurityPage</name>
    <message>
        <source>To be able to change your network password, please turn off your headset and turn it on while pushing the button. This will put it into service mode and make it appear as available on this screen.</source>
        <translation>To be able to change your network password, please turn off your headset and turn it on while pushing the button. This will put it into service mode and make it appear as available on this screen.</translation>
    </message>
    <message>
        <source>Now put your Link(s) on this network into service mode by pressing the Link’s button with a long press (3 seconds).</source>
        <translation>Now put your Link(s) on this network into service mode by pressing the Link’s button with a long press (3 seconds).</translation>
    </message>
    <message>
        <source>Set the password for this Dongle OR if you want to change the password for your Headset on this network of devices, turn off your headset and turn it on while pushing the button. This will put it into service mode and make it appear as available on this screen.</source>
        <translation>Set the password for this Dongle OR if you want to change the password for your Headset on this network of devices, turn off your headset and turn it on while pushing the button. This will put it into service mode and make it appear as available on this screen.</translation>
    </message>
    <message>
        <source>Set your new network password below.
Please note that if you have multiple Dongles in this network of devices, you have to repeat this process later on your other computer or by connecting them to Orvix Tools on this computer and applying the SAME password.</source>
        <translation>Set your new network password below.
Please note that if you have multiple Dongles in this network of devices, you have to repeat this process later on your other computer or by connecting them to Orvix Tools on this computer and applying the SAME password.</translation>
    </message>
    <message>
        <source>We were unable to set the password for some of the devices (please refer to the diagram). Restart the process by putting all your devices into service mode again. If the Dongle is one of them, please remove and reconnect it to start the process again.</source>
        <translation>We were unable to set the password for some of the devices (please refer to the diagram). Restart the process by putting all your devices into service mode again. If the Dongle is one of them, please remove and reconnect it to start the process again.</translation>
    </message>
    <message>
        <source>All passwords set. You can now leave the page. This will take all your devices out of service mode.
If you have multiple Dongles, don’t forget to set the password with your remaining Dongles by repeating this process on the other computers or by connecting the Dongles to this computer 1 by 1.</source>
        <translation>All passwords set. You can now leave the page. This will take all your devices out of service mode.
If you have multiple Dongles, don’t forget to set the password with your remaining Dongles by repeating this process on the other computers or by connecting the Dongles to this computer 1 by 1.</translation>
    </message>
    <message>
        <source>Security</source>
        <translation>Security</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Back</translation>
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
        <source>Setting the network password on the devices found. Please wait.</source>
        <translation>Setting the network password on the devices found. Please wait.</translation>
    </message>
    <message>
        <source>This headset&apos;s device list is empty, so no device shares a network password with it yet. Pair this computer with the headset on the Pairing page first, then come back here.</source>
        <translation>This headset&apos;s device list is empty, so no device shares a network password with it yet. Pair this computer with the headset on the Pairing page first, then come back here.</translation>
    </message>
    <message>
        <source>The dongle was unplugged while the new password was being set. Some devices may already have the new password. Set the password again once the dongle is back.</source>
        <translation>The dongle was unplugged while the new password was being set. Some devices may already have the new password. Set the password again once the dongle is back.</translation>
    </message>
    <message>
        <source>Not every device took the new network password.</source>
        <translation>Not every device took the new network password.</translation>
    </message>
    <message>
        <source>Open the Security page again, put all your devices into service mode and set the same password again.</source>
        <translation>Open the Security page again, put all your devices into service mode and set the same password again.</translation>
    </message>
</context>
</TS>
