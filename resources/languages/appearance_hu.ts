<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="hu">
<context>
    <name>AppearancePage</name>
    <message>
        <source>Form</source>
        <translation>Űrlap</translation>
    </message>
    <message>
        <source>Toolbar options</source>
        <translation>Eszköztár beállításai</translation>
    </message>
    <message>
        <source>Show toolbar</source>
        <translation>Eszköztár megjelenítése</translation>
    </message>
    <message>
        <source>Horizontal toolbar</source>
        <translation>Vízszintes eszköztár</translation>
    </message>
    <message>
        <source>Toolbar opacity</source>
        <translation>Eszköztár átlátszatlansága</translation>
    </message>
    <message>
        <source>Make toolbar non-transparent on mouseover</source>
        <translation>Az eszköztár legyen átlátszatlan, ha az egér fölötte van</translation>
    </message>
    <message>
        <source>Toolbar size</source>
        <translation>Eszköztár mérete</translation>
    </message>
    <message>
        <source>Stick toolbar to primary screen</source>
        <translation>Eszköztár rögzítése az elsődleges képernyőn</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Does not apply to Absolute mode, where you won&apos;t able to place sidbar to any other location then the primary screen, regadless of this selection.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Abszolút módban nem érvényes: ott az eszköztár e beállítástól függetlenül csak az elsődleges képernyőn helyezhető el.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Feedback</source>
        <translation>Visszajelzés</translation>
    </message>
    <message>
        <source>Show visual feedback when the headset changes  the device to control</source>
        <translation>Vizuális visszajelzés, amikor a fejpánt másik vezérelt eszközre vált</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Nyelv</translation>
    </message>
    <message>
        <source>Appearance</source>
        <translation>Megjelenés</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Vissza</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Visszaállítás</translation>
    </message>
</context>
<context>
    <name>HelpPage</name>
    <message>
        <source>Form</source>
        <translation>Űrlap</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Súgó</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Vissza</translation>
    </message>
</context>
<context>
    <name>MasterDetailView</name>
    <message>
        <source>Form</source>
        <translation>Űrlap</translation>
    </message>
</context>
<context>
    <name>MouseProfile</name>
    <message>
        <source>Normal</source>
        <translation>Normál</translation>
    </message>
    <message>
        <source>Restricted</source>
        <translation>Korlátozott</translation>
    </message>
    <message>
        <source>Tremor</source>
        <translation>Remegés</translation>
    </message>
</context>
<context>
    <name>ProfileSelectionDialog</name>
    <message>
        <source>Create Profile</source>
        <translation>Profil létrehozása</translation>
    </message>
    <message>
        <source>Select the base profile</source>
        <translation>Válassza ki az alapprofilt</translation>
    </message>
    <message>
        <source>Profile name:</source>
        <translation>Profil neve:</translation>
    </message>
    <message>
        <source>Automatically generated name</source>
        <translation>Automatikusan létrehozott név</translation>
    </message>
</context>
<context>
    <name>TimeoutDialog</name>
    <message>
        <source>Dialog</source>
        <translation>Párbeszédablak</translation>
    </message>
    <message>
        <source>TextLabel</source>
        <translation>Szöveg</translation>
    </message>
</context>
<context>
    <name>OX::AppearancePage</name>
    <message>
        <source>Appearance</source>
        <translation>Megjelenés</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Vissza</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Visszaállítás</translation>
    </message>
</context>
<context>
    <name>OX::HelpPage</name>
    <message>
        <source>Help</source>
        <translation>Súgó</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Vissza</translation>
    </message>
    <message>
        <source>The manual cannot be shown: its viewer is missing from this installation.</source>
        <translation>A kézikönyv nem jeleníthető meg: a megjelenítője hiányzik ebből a telepítésből.</translation>
    </message>
    <message>
        <source>The manual cannot be shown while OrvixTools runs as the system administrator (root).</source>
        <translation>A kézikönyv nem jeleníthető meg, amíg az OrvixTools rendszergazdaként (root) fut.</translation>
    </message>
    <message>
        <source>The manual cannot be shown: its viewer stopped. Restart OrvixTools to read it again.</source>
        <translation>A kézikönyv nem jeleníthető meg: a megjelenítője leállt. Indítsa újra az OrvixToolst, hogy újra olvashassa.</translation>
    </message>
    <message>
        <source>The manual cannot be shown: it is missing from this installation.</source>
        <translation>A kézikönyv nem jeleníthető meg: hiányzik ebből a telepítésből.</translation>
    </message>
</context>
</TS>
