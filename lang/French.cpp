// French string table (language index 6).
#include "lang/LanguageTable.h"

namespace {

constexpr char kTable[] = R"TABLE(
101	Ouvrir
102	Capture
103	OK
105	Imprimer
106	Paramètres
107	Taille de l'écran
108	Réduire
109	À propos
110	Durée
111	Vitesse
112	Caméra avant
113	Caméra arrière
114	Les deux caméras
115	Fichier précédent
116	Retour rapide
117	Lecture
118	Pause
119	Avance rapide
120	Fichier suivant
121	Vitesse normale
122	Luminosité normale
123	Luminosité
124	Muet
125	Volume
126	Carte
128	Lat
129	Long
130	Fichiers
131	Tous
132	Événement
133	Normal
134	Parking
135	N°
136	Date
137	Heure
138	Type
143	Annuler
145	 a été enregistré.\nOuvrir le dossier des captures ?
148	Réglages de la dashcam
149	Carte mémoire
150	Choisissez la carte mémoire de la dashcam.
151	Carte
152	Formater
153	Sensibilité aux chocs
154	Force du choc qui déclenche un enregistrement d'événement.
155	Désactivé
156	Maximale
157	Très haute
158	Haute
159	Moyenne
160	Basse
161	Très basse
163	Autres options
164	Images par seconde
167	Résolution
168	Vidéo
169	Qualité
170	Haute
171	Moyenne
172	Basse
173	Canaux
174	Avant + arrière
175	Avant seul
176	Éteint l'écran après la durée choisie.
177	Alimentation au parking
178	Arrête l'enregistrement ce délai après l'arrêt du moteur.
179	Son
180	Enregistrement audio
181	Enregistrer le son
182	Volume du haut-parleur
183	Batterie du véhicule
184	Véhicule 12 V
185	Véhicule 24 V
186	Tension de coupure
187	Date et heure
188	Régler l'horloge de la dashcam
189	Réglages du lecteur
190	Dossier des captures
191	Les captures sont enregistrées dans ce dossier.
192	Dossier
193	Parcourir...
194	Intervalle de saut
195	Secondes sautées par le retour et l'avance rapides.
196	Par défaut
199	Choisir
200	Images vidéo
201	Images à la position actuelle
202	Caméra avant
203	Caméra arrière
204	Position
205	Capteur G
206	Valeurs du capteur G
208	Loupe
209	Fermer
210	Mouvement
211	Caméra arrière
212	Inverser l'image arrière
213	Aucune carte mémoire n'est choisie.\nSeuls les réglages du lecteur seront enregistrés.
214	Toujours allumé
215	1 minute
216	3 minutes
217	5 minutes
220	10 minutes
227	Dossiers récents :
228	Mode parking
229	Non disponible pour ce modèle.
230	Accéléré
232	Détection de mouvement
234	Arrêt après
235	Toutes les données de la carte mémoire seront effacées.\nFormater la carte maintenant ?
236	Muet
237	Enregistrement pendant le stationnement.
241	Sensibilité
242	Alertes de conduite
243	Désactivé
244	Activé
246	Modèle
247	Choisissez le modèle de votre dashcam.
248	Modèle
251	Aucun enregistrement n'a été trouvé.
254	Alertes pendant la conduite.
255	Non disponible pour ce modèle.
256	Alertes radar et de voie.
266	Impossible de lire l'enregistrement.
270	Désactivé
272	Enregistrer la vidéo
273	Bienvenue
274	Ouvrez des enregistrements avec le bouton Ouvrir
276	Lecture des enregistrements en cours.
277	Le formatage n'est pas pris en charge sur ce système.
278	Échec du formatage
279	La carte mémoire a été formatée.
280	Le script de formatage n'a pas pu être créé.
281	ou déposez des fichiers et dossiers sur la fenêtre.
282	Paramètres permet de configurer la dashcam.
283	La lecture commence par le premier fichier.
284	Veuillez patienter un instant.
285	Chargement des fichiers...
286	Cette carte ne contient pas de fichier de réglages de la dashcam.
287	Les informations de fichiers ne concernent qu'une carte mémoire de dashcam.
288	Aucun enregistrement à afficher.
289	Formatage de la carte mémoire en cours. Patientez et ne retirez pas la carte.
290	Les fichiers de la carte n'ont pas pu y être remis. Ils sont conservés dans ce dossier :\n%1
291	Formater le volume %1 en FAT32 avec le nom « %2 » ?\nToutes ses données seront effacées.
292	La carte mémoire n'est plus accessible. Vérifiez qu'elle est toujours insérée.
293	Ce bureau n'autorise pas la capture d'écran : la loupe ne peut pas afficher l'écran.
300	Langue
301	Le rapport n'a pas pu être imprimé.
302	Aucune imprimante n'est configurée. Le rapport peut être enregistré dans un fichier PDF à la place.
320	Les images de cet enregistrement sont dans un format que le lecteur ne sait pas lire (%1).
340	Le système a refusé l'accès à la carte mémoire %1. L'ouverture d'une carte nécessite l'autorisation d'un administrateur de cet ordinateur.
341	Impossible d'ouvrir la carte mémoire %1 : %2
342	%1 fait partie du système en cours d'exécution ou est utilisé ; il n'est donc pas formaté.
360	Impossible d'enregistrer les réglages dans %1.\n%2
361	Impossible d'écrire les réglages de la dashcam dans %1.\n%2
362	Impossible d'écrire l'horloge de la dashcam dans %1.\n%2
363	Impossible d'enregistrer l'image sous %1.\n%2
364	Impossible d'enregistrer le rapport sous %1.\n%2
365	Impossible d'enregistrer l'enregistrement sous %1.\n%2
366	Impossible de préparer l'enregistrement pour la lecture : le dossier temporaire %1 est plein.
367	Impossible de préparer l'enregistrement pour la lecture : le dossier temporaire %1 n'est pas accessible en écriture.\n%2
368	Le disque est plein.
369	L'écriture n'y est pas autorisée.
370	Le disque est en lecture seule.
371	Le dossier n'existe pas.
372	Le système signale : %1
373	Impossible de récupérer le fichier endommagé.
380	Marquer le début
381	Marquer la fin
382	Exporter un extrait...
383	Exporter un dossier de preuves...
384	Exporter un extrait
385	Exporter un dossier de preuves
386	Plage
387	de %1 à %2 (%3 s)
388	Disposition
389	Côte à côte
390	Caméra arrière dans un coin
391	Incrusté dans l'image
392	Vitesse
393	Position
394	Haute
395	Standard
396	Enregistrer dans
397	Exporter
398	encore %1
399	Exportation...
400	Enregistré dans %1
401	L'exportation a échoué : %1
402	L'exportation a été annulée. Rien n'a été enregistré.
403	Marquez d'abord le début et la fin de la plage : touches I et O, ou Marquer le début et Marquer la fin dans le menu.
404	Cette plage ne peut pas être exportée : %1
405	%1 contient déjà des fichiers. Choisissez un dossier nouveau ou vide.
420	Fuseau horaire
421	Horloge de la caméra (UTC+9)
422	Unité de vitesse
423	km/h
424	mph
425	Vitesse et heure
426	Vitesse
427	Heure GPS
428	Touches et souris
429	Touche ou souris
430	Action
431	Lecture ou pause
432	Lire l'enregistrement précédent
433	Lire l'enregistrement suivant
434	Augmenter le volume
435	Baisser le volume
436	Couper ou rétablir le son
437	Luminosité par défaut
438	Vitesse de lecture à 1x
439	Changer la disposition de la fenêtre
440	Ouvrir des enregistrements
441	Afficher cette liste
442	Fermer le lecteur
443	Lire cet enregistrement
444	Aller à ce moment
445	Menu de lecture
446	Agrandir ou restaurer la fenêtre
447	Espace
448	Flèche haut
449	Flèche bas
450	Double-clic sur un enregistrement de la liste
451	Clic ou glisser sur la barre de lecture
452	Clic droit sur l'image
453	Double-clic sur la barre du haut
454	Ctrl+Flèche droite
455	Ctrl+Flèche gauche
456	Aller au repère suivant (forte accélération ou événement)
457	Aller au repère précédent
458	Clic sur un repère de la barre de lecture
459	Aller au moment marqué
460	Repères de la barre de lecture
461	G horizontal au-delà de
462	Plus lent : 8, 4, 2, 1, 1/2, 1/4, 1/8 fois
463	Plus rapide : 1/8 à 8 fois (sans son sous 1/2 et au-delà de 2)
464	Image suivante (en pause ; maintenir pour répéter)
465	Image précédente (en pause ; maintenir pour répéter)
470	Signaler une erreur de carte
)TABLE";

}  // namespace

TARVO_LANGUAGE_LIBRARY(kTable)
