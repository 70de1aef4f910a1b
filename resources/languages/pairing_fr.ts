<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>OX::PairingPage</name>
    <message>
        <source>not initialized</source>
        <translation>non initialisé</translation>
    </message>
    <message>
        <source>not initialized: Remove Dongle</source>
        <translation>non initialisé : retirez le dongle</translation>
    </message>
    <message>
        <source>entering service mode</source>
        <translation>passage en mode service</translation>
    </message>
    <message>
        <source>looking for headset (turn on headset in service mode)</source>
        <translation>recherche du casque (allumez le casque en mode service)</translation>
    </message>
    <message>
        <source>waiting for channelmap</source>
        <translation>attente de la table des canaux</translation>
    </message>
    <message>
        <source>looking for devices (turn on LINK(s) in service mode)</source>
        <translation>recherche des appareils (allumez le ou les LINK en mode service)</translation>
    </message>
    <message>
        <source>Pairing</source>
        <translation>Appairage</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Retour</translation>
    </message>
    <message>
        <source>Leaving pairing page</source>
        <translation>Quitter la page d’appairage</translation>
    </message>
    <message>
        <source>No device added to headset. 
Are you sure that you want to leave the page?</source>
        <translation>Aucun appareil n’a été ajouté au casque. 
Voulez-vous vraiment quitter la page ?</translation>
    </message>
    <message>
        <source>Stay on page</source>
        <translation>Rester sur la page</translation>
    </message>
    <message>
        <source>Leave page</source>
        <translation>Quitter la page</translation>
    </message>
    <message>
        <source>Network may changed</source>
        <translation>Le réseau a peut-être changé</translation>
    </message>
    <message>
        <source>If you add new device to your network it have the same password to be able to communicate with your devices.

Do you want to change the password?</source>
        <translation>Un appareil ajouté à votre réseau doit avoir le même mot de passe pour communiquer avec vos autres appareils.

Voulez-vous changer le mot de passe ?</translation>
    </message>
    <message>
        <source>Change password</source>
        <translation>Changer le mot de passe</translation>
    </message>
    <message>
        <source>Keep current password</source>
        <translation>Garder le mot de passe actuel</translation>
    </message>
    <message>
        <source>Unable to enter service mode</source>
        <translation>Impossible de passer en mode service</translation>
    </message>
    <message>
        <source>Please remove the dongle, wait 10 seconds and insert it again!
It may redirect you to the previous page.</source>
        <translation>Retirez le dongle, attendez 10 secondes et rebranchez-le !
Vous serez peut-être renvoyé à la page précédente.</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Service mode required</source>
        <translation>Mode service requis</translation>
    </message>
    <message>
        <source>Operation requires service mode, to enter service mode press &quot;Enter service mode&quot; otherwise you have to leave pairing</source>
        <translation>L’opération nécessite le mode service : pour y passer, appuyez sur « Passer en mode service », sinon vous devez quitter l’appairage</translation>
    </message>
    <message>
        <source>Enter service mode</source>
        <translation>Passer en mode service</translation>
    </message>
    <message>
        <source>Leave pairing</source>
        <translation>Quitter l’appairage</translation>
    </message>
    <message>
        <source>Headset in service mode</source>
        <translation>Casque en mode service</translation>
    </message>
    <message>
        <source>Your headset is in unnecessary service mode.
Please turn Off your headset than turn it On again. The headset details will appear on the center of the screen.</source>
        <translation>Votre casque est inutilement en mode service.
Éteignez votre casque puis rallumez-le. Les détails du casque apparaîtront au centre de l’écran.</translation>
    </message>
    <message>
        <source>The dongle was removed</source>
        <translation>Le dongle a été retiré</translation>
    </message>
    <message>
        <source>The network is full: a headset can hold %1 devices</source>
        <translation>Le réseau est complet : un casque peut contenir %1 appareils</translation>
    </message>
    <message>
        <source>Address %1 of this network belongs to another device (%2): remove it first, or pair in the other role</source>
        <translation>L’adresse %1 de ce réseau appartient à un autre appareil (%2) : retirez-le d’abord, ou associez dans l’autre rôle</translation>
    </message>
    <message>
        <source>Pair with headset</source>
        <translation>Appairer avec le casque</translation>
    </message>
    <message>
        <source>Are you sure you want to pair headset

%1

with this dongle?</source>
        <translation>Voulez-vous vraiment appairer le casque

%1

avec ce dongle ?</translation>
    </message>
    <message>
        <source>Pair as computer #1</source>
        <translation>Appairer comme ordinateur n° 1</translation>
    </message>
    <message>
        <source>Pair as computer #2</source>
        <translation>Appairer comme ordinateur n° 2</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Non</translation>
    </message>
    <message>
        <source>Set Address</source>
        <translation>Définir l’adresse</translation>
    </message>
    <message>
        <source>Set PAN</source>
        <translation>Définir le PAN</translation>
    </message>
    <message>
        <source>Set CMAP</source>
        <translation>Définir la table des canaux</translation>
    </message>
    <message>
        <source>Bind headset failed</source>
        <translation>Échec de l’appairage du casque</translation>
    </message>
    <message>
        <source>Bind headset done</source>
        <translation>Appairage du casque terminé</translation>
    </message>
    <message>
        <source>Bind Link</source>
        <translation>Appairer le LINK</translation>
    </message>
    <message>
        <source>Are you sure you want to pair LINK

%1

with this headset?</source>
        <translation>Voulez-vous vraiment appairer le LINK

%1

avec ce casque ?</translation>
    </message>
    <message>
        <source>As Primary Chair</source>
        <translation>Comme fauteuil principal</translation>
    </message>
    <message>
        <source>As Secondary Chair</source>
        <translation>Comme fauteuil secondaire</translation>
    </message>
    <message>
        <source>Pair link with headset (%1) failed</source>
        <translation>Échec de l’appairage du LINK avec le casque (%1)</translation>
    </message>
    <message>
        <source>Bind LINK failed</source>
        <translation>Échec de l’appairage du LINK</translation>
    </message>
    <message>
        <source>Bind LINK done</source>
        <translation>Appairage du LINK terminé</translation>
    </message>
    <message>
        <source>Remove device failed</source>
        <translation>Échec de la suppression de l’appareil</translation>
    </message>
    <message>
        <source>Remove device</source>
        <translation>Supprimer l’appareil</translation>
    </message>
    <message>
        <source>Are you sure you want to remove

%1

from the network?</source>
        <translation>Voulez-vous vraiment retirer

%1

du réseau ?</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Oui</translation>
    </message>
    <message>
        <source>Leave Service Mode</source>
        <translation>Quitter le mode service</translation>
    </message>
    <message>
        <source>Remove failed</source>
        <translation>Échec de la suppression</translation>
    </message>
    <message>
        <source>Remove device (%1) failed</source>
        <translation>Échec de la suppression de l’appareil (%1)</translation>
    </message>
    <message>
        <source>This dongle was left as it was.</source>
        <translation>Ce dongle est resté tel quel.</translation>
    </message>
    <message>
        <source>This dongle stays on its own network; the headset was not changed.</source>
        <translation>Ce dongle reste sur son propre réseau ; le casque n’a pas été modifié.</translation>
    </message>
    <message>
        <source>This dongle has joined the headset&apos;s network, but the headset&apos;s device list does not hold it: pair the headset again.</source>
        <translation>Ce dongle a rejoint le réseau du casque, mais la liste des appareils du casque ne le contient pas : appairez à nouveau le casque.</translation>
    </message>
    <message>
        <source>The LINK was left as it was.</source>
        <translation>Le LINK est resté tel quel.</translation>
    </message>
    <message>
        <source>The LINK has joined this network under its old address; the headset&apos;s device list does not hold it: pair the LINK again.</source>
        <translation>Le LINK a rejoint ce réseau sous son ancienne adresse ; la liste des appareils du casque ne le contient pas : appairez à nouveau le LINK.</translation>
    </message>
    <message>
        <source>The LINK has joined this network, but the headset&apos;s device list does not hold it: pair the LINK again.</source>
        <translation>Le LINK a rejoint ce réseau, mais la liste des appareils du casque ne le contient pas : appairez à nouveau le LINK.</translation>
    </message>
    <message>
        <source>The device is still in the network.</source>
        <translation>L’appareil est toujours dans le réseau.</translation>
    </message>
    <message>
        <source>The device has left the network, but the headset&apos;s device list still holds it.</source>
        <translation>L’appareil a quitté le réseau, mais la liste des appareils du casque le contient encore.</translation>
    </message>
    <message>
        <source>The dongle was unplugged while a device was being paired or removed. The dongle, the headset or a LINK may already have a new address, network or device list. Once the dongle is back, pair or remove the device again on the Pairing page.</source>
        <translation>Le dongle a été débranché pendant l’appairage ou la suppression d’un appareil. Le dongle, le casque ou un LINK a peut-être déjà une nouvelle adresse, un nouveau réseau ou une nouvelle liste d’appareils. Une fois le dongle rebranché, appairez ou retirez à nouveau l’appareil sur la page Appairage.</translation>
    </message>
</context>
<context>
    <name>PairingPage</name>
    <message>
        <source>Form</source>
        <translation>Formulaire</translation>
    </message>
    <message>
        <source>Headsets</source>
        <translation>Casques</translation>
    </message>
    <message>
        <source>Links / Devices</source>
        <translation>LINK / Appareils</translation>
    </message>
</context>
<context>
    <name>OX::ServiceMode</name>
    <message>
        <source>Leave Service Mode</source>
        <translation>Quitter le mode service</translation>
    </message>
    <message>
        <source>A device may still be in service mode</source>
        <translation>Un appareil est peut-être encore en mode service</translation>
    </message>
    <message>
        <source>Not every device answered the request to leave service mode. Switch off and on again the devices that still show service mode.</source>
        <translation>Certains appareils n’ont pas répondu à la demande de quitter le mode service. Éteignez puis rallumez les appareils qui sont encore en mode service.</translation>
    </message>
</context>
</TS>
