<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>OrvixDirector</name>
    <message>
        <source>Profile not applied</source>
        <translation>Profil non appliqué</translation>
    </message>
    <message>
        <source>The selected mouse profile could not be applied to the dongle.</source>
        <translation>Le profil de souris sélectionné n’a pas pu être appliqué au dongle.</translation>
    </message>
</context>
</TS>
