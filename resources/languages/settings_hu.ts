<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="hu_HU">
<context>
    <name>OrvixDirector</name>
    <message>
        <source>LINK profiles</source>
        <translation>LINK profilok</translation>
    </message>
    <message>
        <source>Settings not saved</source>
        <translation>A beállítások nincsenek mentve</translation>
    </message>
    <message>
        <source>Settings reset</source>
        <translation>Beállítások visszaállítva</translation>
    </message>
    <message>
        <source>Your settings cannot be saved. Changes will not be kept after OrvixTools quits.</source>
        <translation>A beállításokat nem lehet menteni. A változtatások az OrvixTools bezárása után elvesznek.</translation>
    </message>
    <message>
        <source>Your settings file was damaged. These settings were reset to their defaults: %1.&lt;br&gt;&lt;br&gt;The damaged file was kept beside the settings file.</source>
        <translation>A beállításfájl megsérült. Ezek a beállítások visszaálltak az alapértékre: %1.&lt;br&gt;&lt;br&gt;A sérült fájl a beállításfájl mellett megmaradt.</translation>
    </message>
    <message>
        <source>Your settings file was damaged. These settings were reset to their defaults: %1.&lt;br&gt;&lt;br&gt;No copy of the damaged file could be kept, so it was left as it is.</source>
        <translation>A beállításfájl megsérült. Ezek a beállítások visszaálltak az alapértékre: %1.&lt;br&gt;&lt;br&gt;A sérült fájlról nem sikerült másolatot menteni, ezért változatlanul maradt.</translation>
    </message>
    <message>
        <source>Changes to mouse profiles will not be saved until the settings file is repaired or removed.</source>
        <translation>Az egérprofilok módosításai nem lesznek mentve, amíg a beállításfájlt ki nem javítják vagy el nem távolítják.</translation>
    </message>
    <message>
        <source>Settings file replaced</source>
        <translation>Beállításfájl lecserélve</translation>
    </message>
    <message>
        <source>Your settings file was replaced by a damaged file while OrvixTools was running. The damaged file was kept beside the settings file; your settings stay as they were.</source>
        <translation>A beállításfájlt egy sérült fájl váltotta fel az OrvixTools futása közben. A sérült fájl a beállításfájl mellett megmaradt; a beállítások nem változtak.</translation>
    </message>
    <message>
        <source>Your settings file was replaced by a damaged file while OrvixTools was running. No copy of it could be kept, so it was left as it is; your settings stay as they were.</source>
        <translation>A beállításfájlt egy sérült fájl váltotta fel az OrvixTools futása közben. Nem sikerült róla másolatot menteni, ezért érintetlenül maradt; a beállítások nem változtak.</translation>
    </message>
    <message>
        <source>all settings</source>
        <translation>minden beállítás</translation>
    </message>
    <message>
        <source>feedback</source>
        <translation>visszajelzés</translation>
    </message>
    <message>
        <source>interface language</source>
        <translation>a felület nyelve</translation>
    </message>
    <message>
        <source>mouse profiles</source>
        <translation>egérprofilok</translation>
    </message>
    <message>
        <source>sidebar appearance</source>
        <translation>az eszköztár megjelenése</translation>
    </message>
    <message>
        <source>update service</source>
        <translation>frissítési szolgáltatás</translation>
    </message>
    <message>
        <source>These LINK profiles were outside the LINK's limits and were set aside:</source>
        <translation>Ezek a LINK-profilok a LINK határértékein kívül voltak, ezért félre lettek téve:</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Address of the software update service (https)</source>
        <translation>A szoftverfrissítési szolgáltatás címe (https)</translation>
    </message>
</context>
</TS>
