<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>OrvixDirector</name>
    <message>
        <source>LINK profiles</source>
        <translation>profils LINK</translation>
    </message>
    <message>
        <source>Settings not saved</source>
        <translation>Paramètres non enregistrés</translation>
    </message>
    <message>
        <source>Settings reset</source>
        <translation>Paramètres réinitialisés</translation>
    </message>
    <message>
        <source>Your settings cannot be saved. Changes will not be kept after OrvixTools quits.</source>
        <translation>Vos paramètres ne peuvent pas être enregistrés. Les modifications ne seront pas conservées après la fermeture d’OrvixTools.</translation>
    </message>
    <message>
        <source>Your settings file was damaged. These settings were reset to their defaults: %1.&lt;br&gt;&lt;br&gt;The damaged file was kept beside the settings file.</source>
        <translation>Votre fichier de paramètres était endommagé. Ces paramètres ont été remis à leurs valeurs par défaut : %1.&lt;br&gt;&lt;br&gt;Le fichier endommagé a été conservé à côté du fichier de paramètres.</translation>
    </message>
    <message>
        <source>Your settings file was damaged. These settings were reset to their defaults: %1.&lt;br&gt;&lt;br&gt;No copy of the damaged file could be kept, so it was left as it is.</source>
        <translation>Votre fichier de paramètres était endommagé. Ces paramètres ont été remis à leurs valeurs par défaut : %1.&lt;br&gt;&lt;br&gt;Aucune copie du fichier endommagé n’a pu être conservée ; il a donc été laissé tel quel.</translation>
    </message>
    <message>
        <source>Changes to mouse profiles will not be saved until the settings file is repaired or removed.</source>
        <translation>Les modifications des profils de souris ne seront pas enregistrées tant que le fichier de paramètres n’aura pas été réparé ou supprimé.</translation>
    </message>
    <message>
        <source>Settings file replaced</source>
        <translation>Fichier de paramètres remplacé</translation>
    </message>
    <message>
        <source>Your settings file was replaced by a damaged file while OrvixTools was running. The damaged file was kept beside the settings file; your settings stay as they were.</source>
        <translation>Votre fichier de paramètres a été remplacé par un fichier endommagé pendant qu’OrvixTools fonctionnait. Le fichier endommagé a été conservé à côté du fichier de paramètres ; vos paramètres restent tels qu’ils étaient.</translation>
    </message>
    <message>
        <source>Your settings file was replaced by a damaged file while OrvixTools was running. No copy of it could be kept, so it was left as it is; your settings stay as they were.</source>
        <translation>Votre fichier de paramètres a été remplacé par un fichier endommagé pendant qu’OrvixTools fonctionnait. Aucune copie n’a pu en être conservée, il a donc été laissé tel quel ; vos paramètres restent tels qu’ils étaient.</translation>
    </message>
    <message>
        <source>all settings</source>
        <translation>tous les paramètres</translation>
    </message>
    <message>
        <source>feedback</source>
        <translation>retour visuel et sonore</translation>
    </message>
    <message>
        <source>interface language</source>
        <translation>langue de l’interface</translation>
    </message>
    <message>
        <source>mouse profiles</source>
        <translation>profils de souris</translation>
    </message>
    <message>
        <source>sidebar appearance</source>
        <translation>apparence de la barre d’outils</translation>
    </message>
    <message>
        <source>update service</source>
        <translation>service de mise à jour</translation>
    </message>
    <message>
        <source>These LINK profiles were outside the LINK's limits and were set aside:</source>
        <translation>Ces profils LINK étaient hors des limites du LINK et ont été mis de côté :</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Address of the software update service (https)</source>
        <translation>Adresse du service de mise à jour du logiciel (https)</translation>
    </message>
</context>
</TS>
