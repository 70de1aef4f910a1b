<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="fr">
<context>
    <name>LinkPage</name>
    <message>
        <location filename="../../ui/link/LinkPage.ui" line="26" />
        <source>General</source>
        <translation>Général</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.ui" line="31" />
        <source>Driving Forward</source>
        <translation>Marche avant</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.ui" line="36" />
        <source>Turning</source>
        <translation>Virage</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.ui" line="52" />
        <source>Previous</source>
        <translation>Précédent</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.ui" line="65" />
        <source>Next</source>
        <translation>Suivant</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.ui" line="68" />
        <source>Ctrl+S</source>
        <translation>Ctrl+S</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="41" />
        <source>Deadzone is the range of small head movements where the chair won't react to the movements of your head. This range applies to slow to average chair speed. This will also set the minimum value of your highspeed deadzone.</source>
        <translation>La zone morte est l’amplitude des petits mouvements de tête auxquels le fauteuil ne réagit pas. Elle s’applique aux vitesses lentes à moyennes. Elle fixe aussi la valeur minimale de votre zone morte à grande vitesse.</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="48" />
        <source>Set drive properties</source>
        <translation>Régler la conduite</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="49" />
        <source>Here you can change your driving gesture direction and set your reversing preferences.</source>
        <translation>Ici, vous pouvez changer le sens du geste de conduite et régler vos préférences de marche arrière.</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="52" />
        <source>Set forward movement range</source>
        <translation>Régler l’amplitude de marche avant</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="53" />
        <source>How do you wish to move and speed the chair forward? Start tilting your head  in the range you wish the chair to react. 
 Alternatively, you can drag an move the icons on the picture.</source>
        <translation>Comment souhaitez-vous faire avancer et accélérer le fauteuil ? Inclinez la tête dans l’amplitude à laquelle le fauteuil doit réagir. 
 Vous pouvez aussi faire glisser les icônes sur l’image.</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="58" />
        <source>Set forward safety limit</source>
        <translation>Régler la limite de sécurité avant</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="59" />
        <source>To avoid moving forward when your headset is making a very big movement (e.g. a sudden event grabs your attention), please set your safety limit.</source>
        <translation>Pour éviter d’avancer lorsque votre casque fait un très grand mouvement (par ex. un événement soudain attire votre attention), réglez votre limite de sécurité.</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="64" />
        <source>Set backward movement range</source>
        <translation>Régler l’amplitude de marche arrière</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="65" />
        <source>How do you wish to move and speed the chair backwards? Start tilting your head  in the range you wish the chair to react. 
 Alternatively, you can drag an move the icons on the picture.</source>
        <translation>Comment souhaitez-vous faire reculer et accélérer le fauteuil ? Inclinez la tête dans l’amplitude à laquelle le fauteuil doit réagir. 
 Vous pouvez aussi faire glisser les icônes sur l’image.</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="70" />
        <source>Set backward safety limit</source>
        <translation>Régler la limite de sécurité arrière</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="71" />
        <source>To avoid moving backward when your headset is making a very big movement (e.g. a sudden event grabs your attention), please set your safety limit.</source>
        <translation>Pour éviter de reculer lorsque votre casque fait un très grand mouvement (par ex. un événement soudain attire votre attention), réglez votre limite de sécurité.</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="76" />
        <source>Set slowspeed deadzone</source>
        <translation>Régler la zone morte à basse vitesse</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="78" />
        <location filename="../../ui/link/LinkPage.cpp" line="109" />
        <source>Set highspeed deadzone</source>
        <translation>Régler la zone morte à grande vitesse</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="79" />
        <source>Deadzone is the range of small head movements where the chair won't react to the movements of your head. This setting applies to maximum chair speed. To lower the zone values, change the slowspeed deadzone settings first.</source>
        <translation>La zone morte est l’amplitude des petits mouvements de tête auxquels le fauteuil ne réagit pas. Ce réglage s’applique à la vitesse maximale. Pour abaisser les valeurs de la zone, modifiez d’abord la zone morte à basse vitesse.</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="86" />
        <source>Set turning right</source>
        <translation>Régler le virage à droite</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="87" />
        <source>Press Start and tilt or turn your head in the range you wish the chair to react and move to the right. 
 Alternatively, you can drag an move the icons on the picture. </source>
        <translation>Appuyez sur Démarrer et inclinez ou tournez la tête dans l’amplitude à laquelle le fauteuil doit réagir et tourner à droite. 
 Vous pouvez aussi faire glisser les icônes sur l’image. </translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="91" />
        <source>Set safety limit to the right</source>
        <translation>Régler la limite de sécurité à droite</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="92" />
        <source>To avoid turning to the right when your headset is making a very big movement (e.g. a sudden event grabs your attention), please set your safety limit.</source>
        <translation>Pour éviter de tourner à droite lorsque votre casque fait un très grand mouvement (par ex. un événement soudain attire votre attention), réglez votre limite de sécurité.</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="96" />
        <source>Set turning left</source>
        <translation>Régler le virage à gauche</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="97" />
        <source>Press Start and tilt or turn your head in the range you wish the chair to react and move to the left. 
 Alternatively, you can drag an move the icons on the picture.</source>
        <translation>Appuyez sur Démarrer et inclinez ou tournez la tête dans l’amplitude à laquelle le fauteuil doit réagir et tourner à gauche. 
 Vous pouvez aussi faire glisser les icônes sur l’image.</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="101" />
        <source>Set safety limit to the left</source>
        <translation>Régler la limite de sécurité à gauche</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="102" />
        <source>To avoid turning to the left when your headset is making a very big movement (e.g. a sudden event grabs your attention), please set your safety limit.</source>
        <translation>Pour éviter de tourner à gauche lorsque votre casque fait un très grand mouvement (par ex. un événement soudain attire votre attention), réglez votre limite de sécurité.</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="107" />
        <source>Set slowpeed deadzone</source>
        <translation>Régler la zone morte à basse vitesse</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="110" />
        <source>Deadzone is the range of small head movements where the chair won't react to the movements of your head. This setting applies to maximum chair speed. To lower min. value, change the slowspeed deadzone settings first.</source>
        <translation>La zone morte est l’amplitude des petits mouvements de tête auxquels le fauteuil ne réagit pas. Ce réglage s’applique à la vitesse maximale. Pour abaisser la valeur min., modifiez d’abord la zone morte à basse vitesse.</translation>
    </message>
</context>
<context>
    <name>LinkSelectionPage</name>
    <message>
        <location filename="../../ui/link/LinkSelectionPage.ui" line="36" />
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Select LINK to get details than press &lt;span style=" font-weight:600;"&gt;Settings&lt;/span&gt; to change LINK parameters. if you connect an other LINK to the network press &lt;span style=" font-weight:600;"&gt;Refresh&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Sélectionnez un LINK pour voir ses détails, puis appuyez sur &lt;span style=" font-weight:600;"&gt;Réglages&lt;/span&gt; pour modifier ses paramètres. Si vous connectez un autre LINK au réseau, appuyez sur &lt;span style=" font-weight:600;"&gt;Actualiser&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
</context>
<context>
    <name>OX::LinkPage</name>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="318" />
        <source>Link lost, save parameters failed</source>
        <translation>Link perdu, l’enregistrement des paramètres a échoué</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="356" />
        <source>Reset Parameters</source>
        <translation>Réinitialiser les paramètres</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="376" />
        <source>Apply</source>
        <translation>Appliquer</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="377" />
        <source>Revert</source>
        <translation>Rétablir</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="433" />
        <source>Link not present</source>
        <translation>Link absent</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="434" />
        <source>Turn link ON or exit service mode by long tap on Link's button (red indicator light will off).</source>
        <translation>Allumez le Link ou quittez le mode service par un appui long sur le bouton du Link (le voyant rouge s’éteint).</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="436" />
        <source>Press cancel to leave Link settings page.</source>
        <translation>Appuyez sur Annuler pour quitter la page des réglages du Link.</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="437" />
        <source>Retry</source>
        <translation>Réessayer</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="437" />
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="439" />
        <source>Save settings</source>
        <translation>Enregistrer les réglages</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="440" />
        <source>Before changing the settings, would you like Orvix Tools to save this version as a back up?</source>
        <translation>Avant de modifier les réglages, voulez-vous qu’Orvix Tools enregistre cette version comme sauvegarde ?</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="442" />
        <source>If you select yes, you will be able to revert back to the current settings after making changes that you end up not liking.</source>
        <translation>Si vous choisissez oui, vous pourrez revenir aux réglages actuels si vos modifications ne vous plaisent finalement pas.</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="445" />
        <source>Save</source>
        <translation>Enregistrer</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="445" />
        <source>Don't save</source>
        <translation>Ne pas enregistrer</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="492" />
        <source>Link</source>
        <translation>Link</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="494" />
        <source>Back</source>
        <translation>Retour</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="521" />
        <source>You have changes in your selected link profile. Do you want to apply changes?</source>
        <translation>Le profil du Link sélectionné a été modifié. Voulez-vous appliquer les modifications ?</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="522" />
        <source>Link settings about to leave</source>
        <translation>Vous allez quitter les réglages du Link</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="522" />
        <source>Stay on page</source>
        <translation>Rester sur la page</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="522" />
        <source>Dismiss and leave page</source>
        <translation>Abandonner et quitter la page</translation>
    </message>
</context>
<context>
    <name>OX::LinkSelectionPage</name>
    <message>
        <location filename="../../ui/link/LinkSelectionPage.cpp" line="78" />
        <source>Link selection</source>
        <translation>Choix du Link</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkSelectionPage.cpp" line="80" />
        <source>Back</source>
        <translation>Retour</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkSelectionPage.cpp" line="81" />
        <source>Settings</source>
        <translation>Réglages</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkSelectionPage.cpp" line="82" />
        <source>Refresh</source>
        <translation>Actualiser</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkSelectionPage.cpp" line="254" />
        <source>PAN</source>
        <translation>PAN</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkSelectionPage.cpp" line="255" />
        <source>Address</source>
        <translation>Adresse</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkSelectionPage.cpp" line="256" />
        <source>Version</source>
        <translation>Version</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkSelectionPage.cpp" line="263" />
        <source>Revision</source>
        <translation>Révision</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkSelectionPage.cpp" line="264" />
        <source>Serial</source>
        <translation>N° de série</translation>
    </message>
</context>
</TS>