<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>MainWindow</name>
    <message>
        <source>OrvixTools</source>
        <translation>OrvixTools</translation>
    </message>
</context>
<context>
    <name>OX::Menu</name>
    <message>
        <source>Main</source>
        <translation>Principal</translation>
    </message>
    <message>
        <source>Network</source>
        <translation>Réseau</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Réglages</translation>
    </message>
    <message>
        <source>System Status</source>
        <translation>État du système</translation>
    </message>
    <message>
        <source>Appearance</source>
        <translation>Apparence</translation>
    </message>
    <message>
        <source>Mouse Profiles</source>
        <translation>Profils de souris</translation>
    </message>
    <message>
        <source>Link</source>
        <translation>Link</translation>
    </message>
    <message>
        <source>Calibration</source>
        <translation>Étalonnage</translation>
    </message>
    <message>
        <source>Firmware Update</source>
        <translation>Mise à jour du micrologiciel</translation>
    </message>
    <message>
        <source>Pairing</source>
        <translation>Appairage</translation>
    </message>
    <message>
        <source>Security</source>
        <translation>Sécurité</translation>
    </message>
    <message>
        <source>Devices</source>
        <translation>Appareils</translation>
    </message>
    <message>
        <source>Hide</source>
        <translation>Masquer</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Quitter</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Retour</translation>
    </message>
</context>
<context>
    <name>OX::PlaceholderPage</name>
    <message>
        <source>System Status</source>
        <translation>État du système</translation>
    </message>
    <message>
        <source>Appearance</source>
        <translation>Apparence</translation>
    </message>
    <message>
        <source>Calibration</source>
        <translation>Étalonnage</translation>
    </message>
    <message>
        <source>Devices</source>
        <translation>Appareils</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Aide</translation>
    </message>
    <message>
        <source>Mouse Profiles</source>
        <translation>Profils de souris</translation>
    </message>
    <message>
        <source>Pairing</source>
        <translation>Appairage</translation>
    </message>
    <message>
        <source>Security</source>
        <translation>Sécurité</translation>
    </message>
    <message>
        <source>Link</source>
        <translation>Link</translation>
    </message>
    <message>
        <source>Link Indoor</source>
        <translation>Link intérieur</translation>
    </message>
    <message>
        <source>Link Outdoor</source>
        <translation>Link extérieur</translation>
    </message>
    <message>
        <source>Firmware Update</source>
        <translation>Mise à jour du micrologiciel</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Retour</translation>
    </message>
</context>
<context>
    <name>PageHeader</name>
    <message>
        <source>Form</source>
        <translation>Formulaire</translation>
    </message>
</context>
<context>
    <name>PageFooter</name>
    <message>
        <source>Form</source>
        <translation>Formulaire</translation>
    </message>
</context>
</TS>
