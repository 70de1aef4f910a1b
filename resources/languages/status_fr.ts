<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>OX::HeadAngleView</name>
    <message>
        <source>&amp;Set center</source>
        <translation>&amp;Définir le centre</translation>
    </message>
</context>
<context>
    <name>StatusPage</name>
    <message>
        <source>Form</source>
        <translation>Formulaire</translation>
    </message>
    <message>
        <source>Dongle</source>
        <translation>Dongle</translation>
    </message>
    <message>
        <source>Headset</source>
        <translation>Casque</translation>
    </message>
    <message>
        <source>...</source>
        <translation>...</translation>
    </message>
    <message>
        <source>Version:</source>
        <translation>Version :</translation>
    </message>
    <message>
        <source>Build:</source>
        <translation>Build :</translation>
    </message>
    <message>
        <source>Serial:</source>
        <translation>N° série :</translation>
    </message>
    <message>
        <source>Revision:</source>
        <translation>Révision :</translation>
    </message>
    <message>
        <source>PAN:</source>
        <translation>PAN :</translation>
    </message>
    <message>
        <source>Status:</source>
        <translation>État :</translation>
    </message>
    <message>
        <source>Channel:</source>
        <translation>Canal :</translation>
    </message>
    <message>
        <source>Mode:</source>
        <translation>Mode :</translation>
    </message>
    <message>
        <source>Controls:</source>
        <translation>Contrôle :</translation>
    </message>
    <message>
        <source>Battery:</source>
        <translation>Batterie :</translation>
    </message>
    <message>
        <source>IMU:</source>
        <translation>IMU :</translation>
    </message>
    <message>
        <source>HOP:</source>
        <translation>HOP :</translation>
    </message>
</context>
<context>
    <name>OX::StatusPage</name>
    <message>
        <source>System Status</source>
        <translation>État du système</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Retour</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Réinitialiser</translation>
    </message>
    <message>
        <source>active</source>
        <translation>actif</translation>
    </message>
    <message>
        <source>passive</source>
        <translation>passif</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>inconnu</translation>
    </message>
</context>
</TS>
