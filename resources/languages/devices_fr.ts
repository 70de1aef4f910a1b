<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>CalibrationPage</name>
    <message>
        <source>Magnetometer</source>
        <translation>Magnétomètre</translation>
    </message>
    <message>
        <source>Gyroscope</source>
        <translation>Gyroscope</translation>
    </message>
    <message>
        <source>Accelerometer</source>
        <translation>Accéléromètre</translation>
    </message>
</context>
<context>
    <name>DeviceWidget</name>
    <message>
        <source>PAN:</source>
        <translation>PAN :</translation>
    </message>
    <message>
        <source>Address:</source>
        <translation>Adresse :</translation>
    </message>
    <message>
        <source>Serial:</source>
        <translation>N° série :</translation>
    </message>
</context>
<context>
    <name>DevicesPage</name>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;You can reorder your devices. Select a device in the list than press the &amp;quot;up&amp;quot; or &amp;quot;down&amp;quot; button or drag and drop it to the appropriate place.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Vous pouvez réordonner vos appareils. Sélectionnez un appareil dans la liste puis appuyez sur le bouton « haut » ou « bas », ou faites-le glisser à l’endroit voulu.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
</context>
<context>
    <name>OX::CalibrationPage</name>
    <message>
        <source>Calibration</source>
        <translation>Étalonnage</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Retour</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Réinitialiser</translation>
    </message>
    <message>
        <source>Don&apos;t touch the headset, leave it on the table</source>
        <translation>Ne touchez pas le casque, laissez-le sur la table</translation>
    </message>
    <message>
        <source>Rotate the headset in the air around it&apos;s all axes</source>
        <translation>Faites tourner le casque en l’air autour de tous ses axes</translation>
    </message>
    <message>
        <source>Rotate the heaset, after every 45° on each axis keep it still for a moment</source>
        <translation>Faites tourner le casque et, après chaque rotation de 45° sur chaque axe, maintenez-le immobile un instant</translation>
    </message>
    <message>
        <source>The calibration is complete. Press &quot;Back&quot; to finish the operation</source>
        <translation>L’étalonnage est terminé. Appuyez sur « Retour » pour finir l’opération</translation>
    </message>
    <message>
        <source>Headset not found</source>
        <translation>Casque introuvable</translation>
    </message>
    <message>
        <source>The headset did not go into calibration mode.</source>
        <translation>Le casque n’est pas passé en mode d’étalonnage.</translation>
    </message>
    <message>
        <source>The headset did not confirm that it went into calibration mode.</source>
        <translation>Le casque n’a pas confirmé qu’il est passé en mode d’étalonnage.</translation>
    </message>
    <message>
        <source>The headset did not confirm that it left calibration mode.</source>
        <translation>Le casque n’a pas confirmé qu’il a quitté le mode d’étalonnage.</translation>
    </message>
</context>
<context>
    <name>OX::DevicesPage</name>
    <message>
        <source>Headset not found</source>
        <translation>Casque introuvable</translation>
    </message>
    <message>
        <source>Dongle not connected</source>
        <translation>Dongle non connecté</translation>
    </message>
    <message>
        <source>Devices</source>
        <translation>Appareils</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Retour</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Appliquer</translation>
    </message>
    <message>
        <source>Devices about to leave</source>
        <translation>Vous allez quitter les appareils</translation>
    </message>
    <message>
        <source>You have change in your device order. Do you want to apply changes?</source>
        <translation>L’ordre de vos appareils a changé. Voulez-vous appliquer les modifications ?</translation>
    </message>
    <message>
        <source>Stay on page</source>
        <translation>Rester sur la page</translation>
    </message>
    <message>
        <source>Dismiss and leave page</source>
        <translation>Abandonner et quitter la page</translation>
    </message>
    <message>
        <source>The headset refused the new device order. It keeps the order shown.</source>
        <translation>Le casque a refusé le nouvel ordre des appareils. Il garde l’ordre affiché.</translation>
    </message>
    <message>
        <source>The headset did not answer. The order shown is the last one it confirmed.</source>
        <translation>Le casque n’a pas répondu. L’ordre affiché est le dernier qu’il a confirmé.</translation>
    </message>
</context>
</TS>
