(* The HIPAA Privacy Rule as one policy: the disclosure rules of 45 CFR
   164.502 to 164.514 that a disclosure log can decide or leave to a person,
   the agreed restrictions of 164.522, and the deadlines of the right of
   access (164.524) and of the accounting of disclosures (164.528).

   For every disclosure (p1 sends message m to p2 at time t) and every
   attribute a of an individual q that m carries and that is protected
   health information (or that m claims to be de-identified), the disclosure
   must be exempt, or be permitted by at least one clause of <permitted> and
   break none of the clauses that follow it.

   Who discloses: the sender p1, or the covered entity that p1 acts for at
   the time, as one of its workforce or as its business associate (table
   acts_for, or a business associate contract in force with p1 as the
   associate).  Every table kept by the covered entity (authorisations,
   contracts, restrictions, relationships, protocols, opt-outs,
   verifications, no-objections, data use agreements) is looked up for the
   sender or for any entity it acts for.  Every clause is named after
   the paragraph it formalises; a name ending in -subj marks the judgement a
   paragraph leaves to a person, and a name ending in -wait an obligation
   whose deadline falls after the end of the log.

   A clause that the log decides disappears (true) or makes its disclosure a
   violation (false); a clause that needs a human judgement keeps its
   subjective atoms.  An obligation is judged against the table audit_end,
   which says up to when the log is complete: one met in time disappears,
   one whose deadline passed before that moment unmet is a violation, one
   whose deadline is still to come stays open. *)

(and
(<c164-502-a> all [p1: string] [p2: string] [m: string] [t: date] [q: string] [a: attribute]
  (and (disclose-eval p1 p2 m t) (hasattrof m q a)
       (or (attr_in a phi) (sub_attr a phi) (sub_attr a de-identified)))
  (or
    % 164.502(d)(2): "Health information that meets the standard and
    % implementation specifications for de-identification under 164.514(a)
    % and (b) is considered not to be individually identifiable health
    % information", provided that it was de-identified by an expert
    % determination (164.514(b)(1)) or the safe harbour (164.514(b)(2)),
    % and that, by 164.514(c)(2), the entity "does not disclose the
    % mechanism for re-identification".  A claim that fails is PHI.
    (<c164-502-d-2> and (sub_attr a de-identified)
      (or (<c164-514-b-1> ex [s30: date] (deidentification m expert-determination s30) (lessthan s30 t))
          % 164.514(b)(2): the safe harbour asks that the identifiers be
          % removed and that the entity not know the rest could identify;
          % it asks for no documentation (only the expert route does), so an
          % undocumented claim is left to a person.
          (<c164-514-b-2> and (or (ex [s31: date] (deidentification m safe-harbor s31) (lessthan s31 t))
                                  (<c164-514-b-2-i-subj> identifiers-removed p1 m))
            (<c164-514-b-2-ii-subj> no-actual-knowledge-of-identifiability p1 m)))
      (<c164-514-c-2> imp (hasattrof m q re-identification-code) false))

    (and
      (<permitted> or

        % 164.506(c)(2): "A covered entity may disclose protected health
        % information for treatment activities of a health care provider."
        (<c164-506-c-2> and (purp_in m Treatment) (inrole p2 Health-care-provider t))

        % 164.506(c)(3): "for the payment activities of the entity that
        % receives the information", to a covered entity or provider; a
        % health plan and a clearinghouse are covered entities by definition
        % (160.103).
        (<c164-506-c-3> and (purp_in m Payment)
          (or (inrole p2 covered-entity t) (inrole p2 Health-care-provider t)
              (inrole p2 health-plan t) (inrole p2 health-care-clearinghouse t))
          % 164.504(g), as in own payment below.
          (<c164-504-g> imp (and (inrole p1 health-plan t) (inrole p1 Health-care-provider t))
            (<c164-504-g-subj> related-to-function p1 m)))

        % 164.506(c)(4): "for health care operations activities of the entity
        % that receives the information, if each entity either has or had a
        % relationship with the individual who is the subject of the protected
        % health information being requested, the protected health information
        % pertains to such relationship, and the disclosure is: (i) For a
        % purpose listed in paragraph (1) or (2) of the definition of health
        % care operations; or (ii) For the purpose of health care fraud and
        % abuse detection or compliance."
        (<c164-506-c-4> and (or (purp_in m healthcare-op-para-1-2) (purp_in m fraud-abuse-detection))
          (or (inrole p2 covered-entity t) (inrole p2 health-plan t))
          (ex [ce2: string] [s1: date] (relationship q ce2 s1)
            (and (lessthan s1 t) (or (eq_prin p1 ce2) (ex [k2: role] (acts_for p1 ce2 k2 t) true)
              (ex [sb2: date] [eb2: date] (ba_agreement ce2 p1 sb2 eb2) (time_in sb2 t eb2)))))
          (ex [s2: date] (relationship q p2 s2) (lessthan s2 t))
          (<c164-506-c-4-subj> pertains-to-relationship p2 m)
          % 164.504(g), as in own payment below.
          (<c164-504-g> imp (and (inrole p1 health-plan t) (inrole p1 Health-care-provider t))
            (<c164-504-g-subj> related-to-function p1 m)))

        % 164.502(e)(1), 164.504(e): to a business associate under a contract
        % in force at the time of the disclosure.
        % The contract may be the subcontract of a business associate
        % (164.502(e)(1)(ii)), recorded with the associate as its first party.
        % The contract is the satisfactory assurance of (e)(1)(i); where it
        % records the purposes it permits (164.504(e)(2)(i),
        % ba_agreement_purpose), the disclosure is for one of them.
        (<c164-502-e> ex [ce3: string] [s3: date] [e3: date] (ba_agreement ce3 p2 s3 e3)
          (and (time_in s3 t e3) (or (eq_prin p1 ce3) (ex [k3: role] (acts_for p1 ce3 k3 t) true)
              (ex [sb3: date] [eb3: date] (ba_agreement ce3 p1 sb3 eb3) (time_in sb3 t eb3)))
               (<c164-502-e-1-i-scope> imp (ex [u3: purpose] (ba_agreement_purpose ce3 p2 u3))
                 (ex [u103: purpose] (ba_agreement_purpose ce3 p2 u103) (purp_in m u103)))))

        % 164.506(c)(1): "A covered entity may use or disclose protected
        % health information for its own treatment, payment, or health care
        % operations."  Own payment (164.501 "payment" (1)(ii): "to obtain or
        % provide reimbursement for the provision of health care") goes to
        % any payer, covered or not (motor, liability insurers); own
        % operations include "conducting training programs in which students,
        % trainees, or practitioners in areas of health care learn under
        % supervision" and "conducting or arranging for ... legal services"
        % (paragraphs (2) and (4)), the uses 164.508(a)(2)(i)(B), (C) allow
        % for psychotherapy notes.  The discloser is a covered entity.
        % Paragraph (6)(iv) adds "The sale, transfer, merger, or consolidation
        % of all or part of the covered entity with another covered entity, or
        % an entity that following such activity will become a covered entity
        % and due diligence related to such activity" (business-transfer),
        % which reaches the prospective partner directly.
        (<c164-506-c-1> and (or (purp_in m Payment) (purp_in m supervised-training)
                                (purp_in m defend-legal-action) (purp_in m business-transfer))
          % A business associate receives only under its contract (164.502(e)).
          (imp (inrole p2 business-associate t) false)
          % 164.504(f)(3)(ii): a plan may "Not disclose and may not permit a
          % health insurance issuer or HMO to disclose protected health
          % information to the plan sponsor except as permitted by this
          % paragraph": not as a payer.
          (<c164-504-f-3-ii> imp (inrole p2 plan-sponsor t) false)
          (or (inrole p1 covered-entity t) (inrole p1 Health-care-provider t) (inrole p1 health-plan t)
              (ex [ce1: string]
                (or (ex [k1: role] (acts_for p1 ce1 k1 t))
                    (ex [sb1: date] [eb1: date] (and (ba_agreement ce1 p1 sb1 eb1) (time_in sb1 t eb1))))
                (or (inrole ce1 covered-entity t) (inrole ce1 Health-care-provider t)
                    (inrole ce1 health-plan t))))
          % 164.504(g): an entity that is both plan and provider "may use or
          % disclose the protected health information of individuals who
          % receive the covered entity's health plan or health care provider
          % services, but not both, only for purposes related to the
          % appropriate function being performed": for payment and operations,
          % where the functions part, a person judges it.
          (<c164-504-g> imp (and (inrole p1 health-plan t) (inrole p1 Health-care-provider t))
            (<c164-504-g-subj> related-to-function p1 m)))

        % 164.502(a)(1)(i), (a)(2)(i): "To the individual."  164.502(h),
        % 164.522(b)(1): "A covered health care provider must permit
        % individuals to request and must accommodate reasonable requests by
        % individuals to receive communications of protected health
        % information from the covered health care provider by alternative
        % means or at alternative locations" (a health plan likewise, when the
        % individual states that disclosure could endanger the individual).
        % The log records the accommodation (confidential_communication); that
        % a later communication went as asked is for a person.
        (<c164-502-a-1-i> and (eq_prin p2 q)
          (<c164-522-b> imp (ex [ce110: string] [s110: date]
                              (and (confidential_communication q ce110 s110) (lessthan s110 t)
                                   (or (eq_prin p1 ce110) (ex [k110: role] (acts_for p1 ce110 k110 t))
                                       (ex [sb110: date] [eb110: date]
                                         (and (ba_agreement ce110 p1 sb110 eb110) (time_in sb110 t eb110))))))
            (<c164-522-b-subj> sent-as-requested p1 q)))

        % 164.502(g)(1), (g)(2): "a covered entity must ... treat a personal
        % representative as the individual ... with respect to protected
        % health information relevant to such personal representation",
        % while the representation lasts.
        % 164.502(g)(3): the parent of an unemancipated minor is no personal
        % representative for care the minor consented to alone or under a
        % confidentiality agreement, and State or other law decides what a
        % parent may receive ((g)(3)(ii)): a person judges both.
        % 164.514(h)(1)(i): the entity verifies the identity and authority of
        % a requester it does not know, here the representative; likewise the
        % Secretary and the officials and agents of 164.512(g)(1), (g)(2),
        % (k)(1)(i), (k)(1)(iv), (k)(4), (k)(5)(i) and (l), who ask for the
        % information (disclosures the entity starts itself need none).
        (<c164-502-g> ex [s4: date] [e4: date] (and (personal_rep p2 q s4 e4) (time_in s4 t e4))
          (and (<c164-502-g-2-subj> relevant-to-representation p2 m)
               (<c164-502-g-3> imp (inrole q unemancipated-minor t)
                 (<c164-502-g-3-subj> parent-may-receive-minors-information p2 m))
               (<c164-514-h> or (ex [cev80: string] [v80: date] (verification cev80 p2 v80)
                                  (and (lessthan v80 t) (or (eq_prin p1 cev80) (ex [k80: role] (acts_for p1 cev80 k80 t) true)
                   (ex [sb80: date] [eb80: date] (ba_agreement cev80 p1 sb80 eb80) (time_in sb80 t eb80)))))
                                (<c164-514-h-1-subj> identity-and-authority-known p1 p2))))

        % 164.508(a)(1), 164.502(a)(1)(iv): "such use or disclosure must be
        % consistent with such authorization": an authorisation by the
        % individual for this sender, recipient and purpose, for the
        % attribute or one that includes it, signed before and not expired at
        % t.  164.508(b)(5): a revocation received before t ends it, "except
        % to the extent that the covered entity has taken action in reliance
        % thereon".
        (<c164-508-a-1> ex [ce5: string] [a5: attribute] [u5: purpose] [s5: date] [e5: date]
          (and (authorization q ce5 p2 a5 u5 s5 e5) (time_in s5 t e5))
          (and (or (sub_attr a a5) (attr_in a a5)) (purp_in m u5)
               (or (eq_prin p1 ce5) (ex [k4: role] (acts_for p1 ce5 k4 t) true)
              (ex [sb4: date] [eb4: date] (ba_agreement ce5 p1 sb4 eb4) (time_in sb4 t eb4)))
               % 164.508(b)(2): "An authorization is not valid, if the document
               % submitted has any of the following defects": a defect
               % recorded for it (elements, compound, conditioned, false).
               (imp (ex [x5: authorization-defect] (authorization_defect q ce5 p2 u5 s5 x5)) false)
               % 164.504(f)(3)(iv) admits no authorisation.
               (<c164-504-f-3-iv> imp (and (purp_in m employment-decision) (inrole p2 plan-sponsor t)) false)
               (or (<c164-508-b-5> imp (ex [r5: date] (and (revocation q ce5 p2 u5 r5) (lessthan r5 t))) false)
                   (<c164-508-b-5-i-subj> acted-in-reliance p1 m))))

        % 164.524(c)(3)(ii): "If an individual's request for access directs
        % the covered entity to transmit the copy of protected health
        % information directly to another person designated by the
        % individual, the covered entity must provide the copy to the person
        % designated by the individual."
        (<c164-524-c-3-ii> and (purp_in m access-directive)
          (ex [s24: date] (access_directive q p2 s24) (lessthan s24 t)))

        % 164.502(a)(2)(ii): to the Secretary, "to investigate or determine
        % the covered entity's compliance with this subchapter".
        (<c164-502-a-2-ii> and (purp_in m compliance-investigation) (inrole p2 secretary-hhs t)
          (<c164-514-h> or (ex [cev81: string] [v81: date] (verification cev81 p2 v81)
                             (and (lessthan v81 t) (or (eq_prin p1 cev81) (ex [k81: role] (acts_for p1 cev81 k81 t) true)
              (ex [sb81: date] [eb81: date] (ba_agreement cev81 p1 sb81 eb81) (time_in sb81 t eb81)))))
                           (<c164-514-h-1-subj> identity-and-authority-known p1 p2)))

        % 164.502(j)(1): a workforce member or business associate who
        % "believes in good faith that the covered entity has engaged in
        % conduct that is unlawful", to "(A) A health oversight agency or
        % public health authority ... or an appropriate health care
        % accreditation organization ...; or (B) An attorney".
        (<c164-502-j-1> and (purp_in m whistleblowing)
          (or (inrole p2 health-oversight-agency t) (inrole p2 public-health-authority t)
              (inrole p2 accreditation-organization t) (inrole p2 attorney t))
          (<c164-502-j-1-subj> good-faith-unlawful-conduct p1))

        % 164.504(f)(1)(i), (f)(2), (f)(3)(i): a group health plan to its plan
        % sponsor, once the plan documents have been amended.  (f)(3)(iii): a
        % health insurance issuer or HMO of the plan (recorded as a health-plan
        % that is no group-health-plan) only "unless a statement required by
        % 164.520(b)(1)(iii)(C) is included in the appropriate notice"
        % (notice_statement for plan-administration), here and in (f)(1)(ii),
        % (iii).
        (<c164-504-f-1-i> and (purp_in m plan-administration)
          (inrole p2 plan-sponsor t) (or (inrole p1 group-health-plan t) (and (inrole p1 health-plan t) (<c164-504-f-3-iii> ex [s107: date] (notice_statement p1 plan-administration s107) (lessthan s107 t))))
          (<c164-504-f-2-subj> plan-documents-amended p1 p2)
          % (f)(3)(iv): "Not disclose protected health information to the plan
          % sponsor for the purpose of employment-related actions or decisions
          % or in connection with any other benefit or employee benefit plan of
          % the plan sponsor", in (f)(1)(ii), (iii) and under an authorisation
          % too.
          (<c164-504-f-3-iv> imp (purp_in m employment-decision) false))

        % 164.504(f)(1)(ii): "summary health information to the plan sponsor,
        % if the plan sponsor requests the summary health information for
        % purposes of: (A) Obtaining premium bids ...; or (B) Modifying,
        % amending, or terminating the group health plan."
        (<c164-504-f-1-ii> and (sub_attr a summary-health-information)
          (purp_in m premium-bids-or-plan-change)
          (inrole p2 plan-sponsor t) (or (inrole p1 group-health-plan t) (and (inrole p1 health-plan t) (<c164-504-f-3-iii> ex [s107: date] (notice_statement p1 plan-administration s107) (lessthan s107 t))))
          (<c164-504-f-3-iv> imp (purp_in m employment-decision) false))

        % 164.504(f)(1)(iii): "information on whether the individual is
        % participating in the group health plan, or is enrolled in or has
        % disenrolled from a health insurance issuer or HMO offered by the
        % plan".
        (<c164-504-f-1-iii> and (sub_attr a enrollment-status)
          (inrole p2 plan-sponsor t) (or (inrole p1 group-health-plan t) (and (inrole p1 health-plan t) (<c164-504-f-3-iii> ex [s107: date] (notice_statement p1 plan-administration s107) (lessthan s107 t))))
          (<c164-504-f-3-iv> imp (purp_in m employment-decision) false))

        % 164.510(a)(1): a covered health care provider's facility directory:
        % "(A) The individual's name;
        % (B) The individual's location in the covered health care provider's
        % facility; (C) The individual's condition described in general
        % terms ...; and (D) The individual's religious affiliation", "(A) To
        % members of the clergy; or (B) Except for religious affiliation, to
        % other persons who ask for the individual by name."  (a)(2): the
        % individual had the opportunity to object in this episode of care
        % (the case study takes 90 days); (a)(3)(i): or cannot, and the
        % disclosure is in the individual's best interest.
        (<c164-510-a> and (purp_in m facility-directory)
          (ex [ce7: string] (or (eq_prin p1 ce7) (ex [k5: role] (acts_for p1 ce7 k5 t))
              (ex [sb5: date] [eb5: date] (and (ba_agreement ce7 p1 sb5 eb5) (time_in sb5 t eb5)))) (inrole ce7 Health-care-provider t))
          (or (and (or (sub_attr a name) (sub_attr a location-in-facility) (sub_attr a general-condition))
                   (or (inrole p2 clergy t) (<c164-510-a-1-ii-B-subj> asked-for-by-name p2 q)))
              (and (sub_attr a religious-affiliation) (inrole p2 clergy t)))
          % (a)(2): an objection the individual made to the entity in this
          % episode, not withdrawn by a later agreement, forbids the listing;
          % (a)(3) needs an opportunity that could not be given.
          (all [ce70: string] [o70: date] (objection q ce70 facility-directory o70)
            (imp (and (time_in (plus t ~90) o70 t)
                      (or (eq_prin p1 ce70) (ex [k70: role] (acts_for p1 ce70 k70 t))
                          (ex [sb70: date] [eb70: date] (and (ba_agreement ce70 p1 sb70 eb70) (time_in sb70 t eb70)))))
              (ex [s70: date] (no_objection q ce70 facility-directory s70) (time_in o70 s70 t))))
          (or (<c164-510-a-2> ex [ce8: string] [s7: date] (no_objection q ce8 facility-directory s7)
                (and (time_in (plus t ~90) s7 t) (or (eq_prin p1 ce8) (ex [k6: role] (acts_for p1 ce8 k6 t) true)
              (ex [sb6: date] [eb6: date] (ba_agreement ce8 p1 sb6 eb6) (time_in sb6 t eb6)))))
              % (a)(3)(i): "(A) Consistent with a prior expressed preference of
              % the individual, if any, that is known to the covered health
              % care provider; and (B) In the individual's best interest".
              (<c164-510-a-3-i-subj> and (incapacity-or-emergency q)
                (consistent-with-prior-preference p1 q)
                (professional-judgement-best-interest p1 q))))

        % 164.510(b)(1): "(i) ... to a family member, other relative, or a
        % close personal friend of the individual, or any other person
        % identified by the individual, the protected health information
        % directly relevant to such person's involvement with the individual's
        % health care or payment"; "(ii) ... to notify ... of the individual's
        % location, general condition, or death".  Then one of: (b)(2) the
        % individual present did not object, or (b)(2)(iii) the entity
        % "reasonably infers from the circumstances" that the individual does
        % not object; (b)(3) not present or incapacitated, and in the
        % individual's best interest; (b)(5) the individual has died, the
        % recipient was involved before the death and no prior expressed
        % preference is against it.
        (<c164-510-b> and
          (or (<c164-510-b-1-i> and (purp_in m care-involvement)
                (<c164-510-b-1-i-subj> directly-relevant-to-involvement p2 m))
              (<c164-510-b-1-ii> and (purp_in m notification)
                (or (sub_attr a name) (sub_attr a location-in-facility) (sub_attr a general-condition)
                    (sub_attr a death-date))))
          % (b)(1)(ii) adds "a personal representative of the individual, or
          % another person responsible for the care of the individual".
          (or (inrole p2 family-member t) (inrole p2 other-relative t) (inrole p2 close-friend t)
              (inrole p2 person-identified-by-individual t)
              (and (purp_in m notification)
                   (or (inrole p2 person-responsible-for-care t)
                       (ex [s34: date] [e34: date] (personal_rep p2 q s34 e34) (time_in s34 t e34)))))
          % (b)(2): the individual, given the opportunity, did not object; an
          % opportunity recorded for involvement in care or for notification
          % covers both, since (b)(2) governs the two alike.
          % An objection the individual made to the entity in this episode,
          % not withdrawn by a later agreement, leaves neither the agreement
          % nor an inference of (b)(2); (b)(3) and (b)(5) remain for a person.
          (or (and (all [ce71: string] [o71: date]
                     (or (objection q ce71 care-involvement o71) (objection q ce71 notification o71))
                     (imp (and (time_in (plus t ~90) o71 t)
                               (or (eq_prin p1 ce71) (ex [k71: role] (acts_for p1 ce71 k71 t))
                                   (ex [sb71: date] [eb71: date]
                                     (and (ba_agreement ce71 p1 sb71 eb71) (time_in sb71 t eb71)))))
                       (ex [s71: date]
                         (or (no_objection q ce71 care-involvement s71) (no_objection q ce71 notification s71))
                         (time_in o71 s71 t))))
                   (or (<c164-510-b-2> ex [ce9: string] [s8: date]
                         (or (no_objection q ce9 care-involvement s8) (no_objection q ce9 notification s8))
                         (and (time_in (plus t ~90) s8 t)
                              (or (eq_prin p1 ce9) (ex [k7: role] (acts_for p1 ce9 k7 t) true)
                                  (ex [sb7: date] [eb7: date] (ba_agreement ce9 p1 sb7 eb7) (time_in sb7 t eb7)))))
                       (<c164-510-b-2-iii-subj> infers-no-objection p1 q)))
              (<c164-510-b-5> ex [d8: date] (and (deceased q d8) (lessthan d8 t))
                (<c164-510-b-5-subj> involved-before-death-no-contrary-preference p2 q))
              (<c164-510-b-3-subj> and (incapacity-or-emergency q)
                (professional-judgement-best-interest p1 q))))

        % 164.510(b)(4): "to a public or private entity authorized by law or
        % by its charter to assist in disaster relief efforts, for the purpose
        % of coordinating with such entities the uses or disclosures permitted
        % by paragraph (b)(1)(ii)" (location, general condition, death); (b)(2)
        % and (b)(3) apply "to the extent that the covered entity, in the
        % exercise of professional judgment, determines that the requirements
        % do not interfere with the ability to respond to the emergency".
        (<c164-510-b-4> and (purp_in m disaster-relief) (inrole p2 disaster-relief-entity t)
          (or (sub_attr a name) (sub_attr a location-in-facility) (sub_attr a general-condition)
              (sub_attr a death-date))
          (or (<c164-510-b-2> ex [ce10: string] [s9: date] (no_objection q ce10 disaster-relief s9)
                (and (time_in (plus t ~90) s9 t) (or (eq_prin p1 ce10) (ex [k8: role] (acts_for p1 ce10 k8 t) true)
              (ex [sb8: date] [eb8: date] (ba_agreement ce10 p1 sb8 eb8) (time_in sb8 t eb8)))))
              (<c164-510-b-4-subj> requirements-interfere-with-emergency p1 q)
              (<c164-510-b-3-subj> and (incapacity-or-emergency q)
                (professional-judgement-best-interest p1 q))))

        % 164.512(a)(1): "to the extent that such use or disclosure is
        % required by law and the use or disclosure complies with and is
        % limited to the relevant requirements of such law."  (a)(2): "A
        % covered entity must meet the requirements described in paragraph
        % (c), (e), or (f) of this section for uses or disclosures required by
        % law": a disclosure for one of their purposes cannot pass here.
        (<c164-512-a> and (purp_in m required-by-law)
          (<c164-512-a-2> imp (or (purp_in m abuse-neglect-report) (purp_in m judicial-proceeding)
                                  (purp_in m law-enforcement) (purp_in m law-enforcement-court-order)
                                  (purp_in m crime-victim-information))
            false)
          (<c164-512-a-1-subj> required-by-law-and-limited p1 p2 m))

        % 164.512(b)(1)(i): "A public health authority that is authorized by
        % law to collect or receive such information for the purpose of
        % preventing or controlling disease, injury, or disability ... or, at
        % the direction of a public health authority, to an official of a
        % foreign government agency that is acting in collaboration with a
        % public health authority".
        (<c164-512-b-1-i> and (purp_in m public-health)
          (or (and (inrole p2 public-health-authority t)
                   (<c164-512-b-1-i-law-subj> authorized-by-law-for-activity p2 m))
              (and (inrole p2 foreign-health-official t)
                   (<c164-512-b-1-i-subj> directed-by-public-health-authority p1 p2))))

        % 164.512(b)(1)(ii): "A public health authority or other appropriate
        % government authority authorized by law to receive reports of child
        % abuse or neglect" (no notice to the individual is owed).
        (<c164-512-b-1-ii> and (purp_in m child-abuse-report)
          (or (inrole p2 public-health-authority t) (inrole p2 government-authority t)))

        % 164.512(b)(1)(iii): "A person subject to the jurisdiction of the
        % Food and Drug Administration (FDA) with respect to an FDA-regulated
        % product or activity for which that person has responsibility".
        (<c164-512-b-1-iii> and (purp_in m fda-reporting) (inrole p2 fda-regulated-person t)
          (<c164-512-b-1-iii-subj> fda-responsibility p2 m))

        % 164.512(b)(1)(iv): "A person who may have been exposed to a
        % communicable disease ..., if the covered entity ... is authorized by
        % law to notify such person".
        (<c164-512-b-1-iv> and (purp_in m communicable-disease-notification)
          (<c164-512-b-1-iv-subj> communicable-disease-notice-authorized p1 p2))

        % 164.512(b)(1)(v): "An employer, about an individual who is a member
        % of the workforce of the employer", by a provider who gives care at
        % the employer's request, on work-related illness or injury, with
        % notice to the individual.
        (<c164-512-b-1-v> and (purp_in m workplace-surveillance) (inrole p2 employer t)
          (inrole p1 Health-care-provider t)
          (<c164-512-b-1-v-subj> workplace-surveillance-conditions p1 q))

        % 164.512(b)(1)(vi): "A school, about an individual who is a student
        % or prospective student ..., if: (A) The protected health information
        % that is disclosed is limited to proof of immunization; ... and (C)
        % The covered entity obtains and documents the agreement".
        (<c164-512-b-1-vi> and (purp_in m school-immunization) (inrole p2 school t)
          (sub_attr a immunization-record)
          (<c164-512-b-1-vi-C-subj> school-immunization-agreement p1 q))

        % 164.512(c)(1): "about an individual whom the covered entity
        % reasonably believes to be a victim of abuse, neglect, or domestic
        % violence to a government authority ...: (i) To the extent the
        % disclosure is required by law ...; (ii) If the individual agrees to
        % the disclosure; or (iii) To the extent the disclosure is expressly
        % authorized by statute or regulation and" (A) or (B).
        % (c)(1)(iii)(B) names "a law enforcement or other public official
        % authorized to receive the report".
        (<c164-512-c> and (purp_in m abuse-neglect-report)
          (or (inrole p2 government-authority t) (inrole p2 public-health-authority t)
              (inrole p2 law-enforcement-official t))
          (<c164-512-c-1-subj> believes-victim-of-abuse p1 q)
          (or (<c164-512-c-1-i-subj> required-by-law-and-limited p1 p2 m)
              (<c164-512-c-1-ii-subj> individual-agreed q p1)
              (<c164-512-c-1-iii-subj> expressly-authorized-harm-or-incapacity p1 q))
          % 164.512(c)(2): "A covered entity that makes a disclosure permitted
          % by paragraph (c)(1) of this section must promptly inform the
          % individual that such a report has been or will be made, except
          % if: (i) The covered entity, in the exercise of professional
          % judgment, believes informing the individual would place the
          % individual at risk of serious harm; or (ii) The covered entity
          % would be informing a personal representative, and ... believes the
          % personal representative is responsible for the abuse".  A notice
          % (purpose abuse-report-notice) within prompt (5) days either side
          % of the report meets it.  No other clause permits the report
          % instead (c164-512-a-2), so the notice cannot be bypassed.
          (<c164-512-c-2> or
            (ex [m10: string] [t10: date]
              (and (disclose p1 q m10 t10) (time_in (plus t ~5) t10 (plus t prompt)))
              (purp_in m10 abuse-report-notice))
            (ex [e10: date] (and (audit_end e10) (time_in e10 (plus t prompt) (plus t prompt)))
              (<c164-512-c-2-wait> ex [m11: string] [t11: date]
                (and (disclose-eval p1 q m11 t11) (time_in (plus t ~5) t11 (plus t prompt)))
                (purp_in m11 abuse-report-notice)))
            (<c164-512-c-2-subj> informing-would-endanger p1 q)))

        % 164.512(d)(1): "to a health oversight agency for oversight
        % activities authorized by law"; (d)(2): not an investigation of the
        % individual unrelated to health care or health benefits; 164.514(h):
        % identity and authority of the requester verified.
        (<c164-512-d> and (purp_in m health-oversight) (inrole p2 health-oversight-agency t)
          (<c164-512-d-2-subj> oversight-nexus p2 q)
          (<c164-514-h> or (ex [cev1: string] [v1: date] (verification cev1 p2 v1)
                             (and (lessthan v1 t) (or (eq_prin p1 cev1) (ex [k9: role] (acts_for p1 cev1 k9 t) true)
              (ex [sb9: date] [eb9: date] (ba_agreement cev1 p1 sb9 eb9) (time_in sb9 t eb9)))))
                           (<c164-514-h-1-subj> identity-and-authority-known p1 p2)))

        % 164.512(e)(1): "(i) In response to an order of a court or
        % administrative tribunal, provided that the covered entity discloses
        % only the protected health information expressly authorized by such
        % order; or (ii) In response to a subpoena, discovery request, or
        % other lawful process" with satisfactory assurances, or (vi) with the
        % entity's own notice or qualified protective order.
        (<c164-512-e> and (purp_in m judicial-proceeding)
          (or (<c164-512-e-1-i-subj> court-order-covers p2 m)
              (<c164-512-e-1-ii-subj> subpoena-with-satisfactory-assurance p2 m)
              (<c164-512-e-1-vi-subj> own-notice-or-protective-order p1 m))
          (<c164-514-h> or (ex [cev2: string] [v2: date] (verification cev2 p2 v2)
                             (and (lessthan v2 t) (or (eq_prin p1 cev2) (ex [k10: role] (acts_for p1 cev2 k10 t) true)
              (ex [sb10: date] [eb10: date] (ba_agreement cev2 p1 sb10 eb10) (time_in sb10 t eb10)))))
                           (<c164-514-h-1-subj> identity-and-authority-known p1 p2)))

        % 164.512(f)(1): "(i) As required by law ...; or (ii) In compliance
        % with and as limited by the relevant requirements of: (A) A court-
        % ordered warrant, or a subpoena or summons issued by a judicial
        % officer; (B) A grand jury subpoena; or (C) An administrative
        % request" that is relevant, specific and limited.
        (<c164-512-f-1> and (purp_in m law-enforcement-court-order) (inrole p2 law-enforcement-official t)
          (or (<c164-512-f-1-i-subj> required-by-law-and-limited p1 p2 m)
              (<c164-512-f-1-ii-subj> court-process-covers p2 m)
              (<c164-512-f-1-ii-C-subj> administrative-request-qualifies p2 m))
          (<c164-514-h> or (ex [cev3: string] [v3: date] (verification cev3 p2 v3)
                             (and (lessthan v3 t) (or (eq_prin p1 cev3) (ex [k11: role] (acts_for p1 cev3 k11 t) true)
              (ex [sb11: date] [eb11: date] (ba_agreement cev3 p1 sb11 eb11) (time_in sb11 t eb11)))))
                           (<c164-514-h-1-subj> identity-and-authority-known p1 p2)))

        % 164.512(f)(2): "in response to a law enforcement official's request
        % for such information for the purpose of identifying or locating a
        % suspect, fugitive, material witness, or missing person ... (i) The
        % covered entity may disclose only the following information: (A) Name
        % and address; (B) Date and place of birth; (C) Social security
        % number; (D) ABO blood type and rh factor; (E) Type of injury;
        % (F) Date and time of treatment; (G) Date and time of death, if
        % applicable; and (H) A description of distinguishing physical
        % characteristics".
        (<c164-512-f-2> and (purp_in m law-enforcement-relevant-id-or-location)
          (or (sub_attr a name) (sub_attr a address) (sub_attr a date-of-birth) (sub_attr a ssn)
              (sub_attr a blood-type) (sub_attr a injury-type) (sub_attr a treatment-date)
              (sub_attr a death-date) (sub_attr a physical-description))
          (<c164-512-f-2-subj> identification-request p2 q)
          (<c164-514-h> or (ex [cev4: string] [v4: date] (verification cev4 p2 v4)
                             (and (lessthan v4 t) (or (eq_prin p1 cev4) (ex [k12: role] (acts_for p1 cev4 k12 t) true)
              (ex [sb12: date] [eb12: date] (ba_agreement cev4 p1 sb12 eb12) (time_in sb12 t eb12)))))
                           (<c164-514-h-1-subj> identity-and-authority-known p1 p2)))

        % 164.512(f)(3): "in response to a law enforcement official's request
        % for such information about an individual who is or is suspected to
        % be a victim of a crime", if the individual agrees or (f)(3)(ii).
        (<c164-512-f-3> and (purp_in m crime-victim-information) (inrole p2 law-enforcement-official t)
          (<c164-512-f-3-subj> victim-agreement-or-exception p1 q)
          (<c164-514-h> or (ex [cev5: string] [v5: date] (verification cev5 p2 v5)
                             (and (lessthan v5 t) (or (eq_prin p1 cev5) (ex [k13: role] (acts_for p1 cev5 k13 t) true)
              (ex [sb13: date] [eb13: date] (ba_agreement cev5 p1 sb13 eb13) (time_in sb13 t eb13)))))
                           (<c164-514-h-1-subj> identity-and-authority-known p1 p2)))

        % 164.512(f)(4): "about an individual who has died ... if the covered
        % entity has a suspicion that such death may have resulted from
        % criminal conduct."
        (<c164-512-f-4> and (purp_in m suspicious-death-notification)
          (ex [d11: date] (deceased q d11) (lessthan d11 t))
          (<c164-512-f-4-subj> suspects-criminal-death p1 q))

        % 164.512(f)(5): "information that the covered entity believes in good
        % faith constitutes evidence of criminal conduct that occurred on the
        % premises of the covered entity."
        (<c164-512-f-5> and (purp_in m report-possible-crime-on-premises)
          (<c164-512-f-5-subj> good-faith-crime-on-premises p1 m))

        % 164.512(f)(6)(i): "A covered health care provider providing
        % emergency health care in response to a medical emergency, other than
        % such emergency on the premises of the covered health care provider";
        % (f)(6)(ii): not if the provider believes the emergency is the result
        % of abuse, neglect, or domestic violence of the individual.
        (<c164-512-f-6-i> and (purp_in m alert-of-crime-commission-location-victims-perpetrator)
          (inrole p1 Health-care-provider t)
          (<c164-512-f-6-i-subj> emergency-care-off-premises p1 q)
          (<c164-512-f-6-ii-subj> emergency-not-from-abuse p1 q))

        % 164.512(g)(1): "to a coroner or medical examiner for the purpose of
        % identifying a deceased person, determining a cause of death".
        (<c164-512-g-1> and (purp_in m decedent-identification)
          (or (inrole p2 coroner t) (inrole p2 medical-examiner t))
          (ex [d14: date] (deceased q d14) (lessthan d14 t))
          (<c164-514-h> or (ex [cev82: string] [v82: date] (verification cev82 p2 v82)
                             (and (lessthan v82 t) (or (eq_prin p1 cev82) (ex [k82: role] (acts_for p1 cev82 k82 t) true)
              (ex [sb82: date] [eb82: date] (ba_agreement cev82 p1 sb82 eb82) (time_in sb82 t eb82)))))
                           (<c164-514-h-1-subj> identity-and-authority-known p1 p2)))

        % 164.512(g)(2): "to funeral directors ... as necessary to carry out
        % their duties with respect to the decedent ... prior to, and in
        % reasonable anticipation of, the individual's death."
        (<c164-512-g-2> and (purp_in m funeral-arrangements) (inrole p2 funeral-director t)
          (or (ex [d12: date] (deceased q d12) (lessthan d12 t))
              (<c164-512-g-2-subj> death-reasonably-anticipated p1 q))
          (<c164-514-h> or (ex [cev83: string] [v83: date] (verification cev83 p2 v83)
                             (and (lessthan v83 t) (or (eq_prin p1 cev83) (ex [k83: role] (acts_for p1 cev83 k83 t) true)
              (ex [sb83: date] [eb83: date] (ba_agreement cev83 p1 sb83 eb83) (time_in sb83 t eb83)))))
                           (<c164-514-h-1-subj> identity-and-authority-known p1 p2)))

        % 164.512(h): "to organ procurement organizations or other entities
        % engaged in the procurement, banking, or transplantation of cadaveric
        % organs, eyes, or tissue".
        (<c164-512-h> and (purp_in m organ-donation) (inrole p2 organ-procurement-organization t))

        % 164.512(i)(1): research "(i) Board approval of a waiver of
        % authorization" documented as (i)(2) requires; "(ii) Reviews
        % preparatory to research" on the researcher's representations;
        % "(iii) Research on decedent's information".
        (<c164-512-i> and (or (purp_in m research) (purp_in m research-preparatory))
          (inrole p2 researcher t)
          (or (and (purp_in m research) (<c164-512-i-1-i-subj> research-waiver-approved p2 m))
              (and (purp_in m research-preparatory)
                   (<c164-512-i-1-ii-subj> preparatory-research-representation p2 m))
              (<c164-512-i-1-iii> and (ex [d13: date] (deceased q d13) (lessthan d13 t))
                (<c164-512-i-1-iii-subj> decedent-research-representation p2 q)))
          (<c164-514-h> or (ex [cev6: string] [v6: date] (verification cev6 p2 v6)
                             (and (lessthan v6 t) (or (eq_prin p1 cev6) (ex [k14: role] (acts_for p1 cev6 k14 t) true)
              (ex [sb14: date] [eb14: date] (ba_agreement cev6 p1 sb14 eb14) (time_in sb14 t eb14)))))
                           (<c164-514-h-1-subj> identity-and-authority-known p1 p2)))

        % 164.512(j)(1)(i): "necessary to prevent or lessen a serious and
        % imminent threat to the health or safety of a person or the public;
        % and is to a person or persons reasonably able to prevent or lessen
        % the threat".
        (<c164-512-j-1-i> and (purp_in m serious-threat-prevention)
          (<c164-512-j-1-i-subj> good-faith-serious-threat p1 p2))

        % 164.512(j)(1)(ii): "for law enforcement authorities to identify or
        % apprehend an individual: (A) Because of a statement by an
        % individual admitting participation in a violent crime that the
        % covered entity reasonably believes may have caused serious physical
        % harm to the victim" (not learnt in treatment to affect the
        % propensity to commit it, (j)(2)); "or (B) Where it appears from all
        % the circumstances that the individual has escaped from a
        % correctional institution or from lawful custody".  (j)(3): a
        % disclosure under (A) "shall contain only the statement ... and the
        % protected health information described in paragraph (f)(2)(i)".
        (<c164-512-j-1-ii> and (purp_in m apprehension-of-individual)
          (inrole p2 law-enforcement-official t)
          (or (<c164-512-j-1-ii-B-subj> escaped-from-custody p1 q)
              (and (<c164-512-j-3> or (sub_attr a violent-crime-statement) (sub_attr a name)
                     (sub_attr a address) (sub_attr a date-of-birth) (sub_attr a ssn)
                     (sub_attr a blood-type) (sub_attr a injury-type) (sub_attr a treatment-date)
                     (sub_attr a death-date) (sub_attr a physical-description))
                   (<c164-512-j-1-ii-A-subj> admitted-violent-crime p1 q))))

        % 164.512(k)(1)(i): "An individual who is Armed Forces personnel",
        % "for activities deemed necessary by appropriate military command
        % authorities to assure the proper execution of the military
        % mission".
        (<c164-512-k-1-i> and (purp_in m military-mission) (inrole p2 armed-forces-command t)
          (inrole q armed-forces-member t)
          (<c164-512-k-1-i-subj> authorised-government-function p2 m)
          (<c164-514-h> or (ex [cev84: string] [v84: date] (verification cev84 p2 v84)
                             (and (lessthan v84 t) (or (eq_prin p1 cev84) (ex [k84: role] (acts_for p1 cev84 k84 t) true)
              (ex [sb84: date] [eb84: date] (ba_agreement cev84 p1 sb84 eb84) (time_in sb84 t eb84)))))
                           (<c164-514-h-1-subj> identity-and-authority-known p1 p2)))

        % 164.512(k)(1)(ii): "A covered entity that is a component of the
        % Departments of Defense or Homeland Security may disclose to the
        % Department of Veterans Affairs (DVA) the protected health information
        % of an individual who is a member of the Armed Forces upon the
        % separation or discharge of the individual from military service"
        % (the sender's standing and the discharge are for a person);
        % (k)(1)(iv): "the protected health information of individuals who are
        % foreign military personnel to their appropriate foreign military
        % authority".
        (<c164-512-k-1-ii> and (purp_in m veterans-eligibility) (inrole p2 veterans-affairs t)
          (<c164-512-k-1-ii-subj> authorised-government-function p2 m))
        (<c164-512-k-1-iv> and (purp_in m foreign-military-mission)
          (inrole p2 foreign-military-authority t)
          (<c164-512-k-1-iv-subj> authorised-government-function p2 m)
          (<c164-514-h> or (ex [cev85: string] [v85: date] (verification cev85 p2 v85)
                             (and (lessthan v85 t) (or (eq_prin p1 cev85) (ex [k85: role] (acts_for p1 cev85 k85 t) true)
              (ex [sb85: date] [eb85: date] (ba_agreement cev85 p1 sb85 eb85) (time_in sb85 t eb85)))))
                           (<c164-514-h-1-subj> identity-and-authority-known p1 p2)))

        % 164.512(k)(4): "A covered entity that is a component of the
        % Department of State ... may disclose whether or not the individual
        % was determined to be medically suitable to the officials in the
        % Department of State who need access to such information": the
        % determination alone (attribute suitability-determination).
        (<c164-512-k-4> and (purp_in m medical-suitability-determination) (inrole p2 state-department t)
          (<c164-512-k-4-content> sub_attr a suitability-determination)
          (<c164-512-k-4-subj> authorised-government-function p2 m)
          (<c164-514-h> or (ex [cev86: string] [v86: date] (verification cev86 p2 v86)
                             (and (lessthan v86 t) (or (eq_prin p1 cev86) (ex [k86: role] (acts_for p1 cev86 k86 t) true)
              (ex [sb86: date] [eb86: date] (ba_agreement cev86 p1 sb86 eb86) (time_in sb86 t eb86)))))
                           (<c164-514-h-1-subj> identity-and-authority-known p1 p2)))

        % 164.512(k)(6)(ii): "A covered entity that is a government agency
        % administering a government program providing public benefits may
        % disclose protected health information relating to the program to
        % another covered entity that is a government agency administering a
        % government program providing public benefits if the programs serve
        % the same or similar populations and the disclosure ... is necessary
        % to coordinate the covered functions of such programs".
        (<c164-512-k-6-ii> and (purp_in m public-benefit-program)
          (inrole p1 government-program-agency t) (inrole p2 government-program-agency t)
          (<c164-512-k-6-ii-subj> authorised-government-function p2 m))

        % 164.512(k)(6)(i): "A health plan that is a government program
        % providing public benefits may disclose eligibility for or enrollment
        % in the health plan to another agency administering a government
        % program providing public benefits if the sharing of eligibility or
        % enrollment information among such government agencies ... is
        % required or expressly authorized by statute or regulation."
        (<c164-512-k-6-i> and (purp_in m public-benefit-program) (sub_attr a enrollment-status)
          (inrole p1 health-plan t) (inrole p2 government-program-agency t)
          (<c164-512-k-6-i-subj> eligibility-sharing-authorized p1 p2))

        % 164.512(k)(7): reporting to the National Instant Criminal Background
        % Check System the identity of an individual prohibited from possessing
        % a firearm: identifying and demographic information only.
        (<c164-512-k-7> and (purp_in m nics-reporting) (inrole p2 nics-agency t)
          (or (sub_attr a name) (sub_attr a address) (sub_attr a date-of-birth) (sub_attr a ssn)
              (sub_attr a demographics))
          (<c164-512-k-7-subj> authorised-government-function p2 m))

        % 164.502(j)(2): a workforce member who is the victim of a criminal act
        % discloses to a law enforcement official about the suspected
        % perpetrator, limited to the items of 164.512(f)(2)(i).
        (<c164-502-j-2> and (purp_in m workforce-crime-victim-report)
          (inrole p2 law-enforcement-official t)
          (ex [ce42: string] (acts_for p1 ce42 workforce-member t) true)
          (or (sub_attr a name) (sub_attr a address) (sub_attr a date-of-birth) (sub_attr a ssn)
              (sub_attr a blood-type) (sub_attr a injury-type) (sub_attr a treatment-date)
              (sub_attr a death-date) (sub_attr a physical-description))
          (<c164-502-j-2-subj> workforce-crime-victim-conditions p1 q))

        % 164.512(k)(2): "to authorized federal officials for the conduct of
        % lawful intelligence, counter-intelligence, and other national
        % security activities".
        (<c164-512-k-2> and (purp_in m national-security) (inrole p2 federal-official t)
          (<c164-512-k-2-subj> authorised-government-function p2 m)
          (<c164-514-h> or (ex [cev7: string] [v7: date] (verification cev7 p2 v7)
                             (and (lessthan v7 t) (or (eq_prin p1 cev7) (ex [k15: role] (acts_for p1 cev7 k15 t) true)
              (ex [sb15: date] [eb15: date] (ba_agreement cev7 p1 sb15 eb15) (time_in sb15 t eb15)))))
                           (<c164-514-h-1-subj> identity-and-authority-known p1 p2)))

        % 164.512(k)(3): "to authorized Federal officials for the provision of
        % protective services to the President or other persons".
        (<c164-512-k-3> and (purp_in m protective-services) (inrole p2 federal-official t)
          (<c164-512-k-3-subj> authorised-government-function p2 m)
          (<c164-514-h> or (ex [cev8: string] [v8: date] (verification cev8 p2 v8)
                             (and (lessthan v8 t) (or (eq_prin p1 cev8) (ex [k16: role] (acts_for p1 cev8 k16 t) true)
              (ex [sb16: date] [eb16: date] (ba_agreement cev8 p1 sb16 eb16) (time_in sb16 t eb16)))))
                           (<c164-514-h-1-subj> identity-and-authority-known p1 p2)))

        % 164.512(k)(5)(i): "to a correctional institution or a law
        % enforcement official having lawful custody of an inmate or other
        % individual"; (k)(5)(iii): not after release.
        (<c164-512-k-5-i> and (purp_in m correctional-custody)
          (or (inrole p2 correctional-institution t) (inrole p2 law-enforcement-official t))
          (or (inrole q inmate t) (inrole q in-lawful-custody t)
              (<c164-512-k-5-i-custody-subj> has-lawful-custody p2 q))
          (<c164-512-k-5-i-subj> authorised-government-function p2 m)
          (<c164-514-h> or (ex [cev87: string] [v87: date] (verification cev87 p2 v87)
                             (and (lessthan v87 t) (or (eq_prin p1 cev87) (ex [k87: role] (acts_for p1 cev87 k87 t) true)
              (ex [sb87: date] [eb87: date] (ba_agreement cev87 p1 sb87 eb87) (time_in sb87 t eb87)))))
                           (<c164-514-h-1-subj> identity-and-authority-known p1 p2)))

        % 164.512(l): "as authorized by and to the extent necessary to comply
        % with laws relating to workers' compensation".
        (<c164-512-l> and (purp_in m workers-compensation)
          (<c164-512-l-subj> complies-with-workers-comp-law p1 p2)
          (<c164-514-h> or (ex [cev88: string] [v88: date] (verification cev88 p2 v88)
                             (and (lessthan v88 t) (or (eq_prin p1 cev88) (ex [k88: role] (acts_for p1 cev88 k88 t) true)
              (ex [sb88: date] [eb88: date] (ba_agreement cev88 p1 sb88 eb88) (time_in sb88 t eb88)))))
                           (<c164-514-h-1-subj> identity-and-authority-known p1 p2)))

        % 164.514(e): a limited data set for research, public health or
        % health care operations, under a data use agreement.  (e)(2): "A
        % limited data set is protected health information that excludes the
        % following direct identifiers": a message marked limited-data-set
        % keeps its clinical content, and may carry no name, address, social
        % security, account or beneficiary number, nor the whole record.
        (<c164-514-e> and
          (or (purp_in m research) (purp_in m public-health) (purp_in m Healthcare-op))
          (or (sub_attr a limited-data-set) (attr_in a limited-data-set)
              (and (hasattrof m q limited-data-set)
                   (<c164-514-e-2> imp (or (sub_attr a name) (sub_attr a address) (sub_attr a ssn)
                                           (sub_attr a insurance-id) (sub_attr a billing-info)
                                           (sub_attr a demographics) (sub_attr a medical-record)
                                           (sub_attr a re-identification-code))
                     false)))
          % (e)(4)(ii): the agreement must establish the permitted uses, who
          % may use or receive the data, and bind the recipient not to
          % re-identify it or use it otherwise; an agreement found lacking a
          % term (data_use_agreement_defect) never qualified.
          (ex [ce14: string] [s14: date] [e14: date] (data_use_agreement ce14 p2 s14 e14)
            (and (time_in s14 t e14) (or (eq_prin p1 ce14) (ex [k17: role] (acts_for p1 ce14 k17 t) true)
              (ex [sb17: date] [eb17: date] (ba_agreement ce14 p1 sb17 eb17) (time_in sb17 t eb17)))))
          (<c164-514-e-4-ii> imp (ex [ce113: string] [s113: date] [e113: date]
                                   (and (data_use_agreement_defect ce113 p2 s113)
                                        (data_use_agreement ce113 p2 s113 e113) (time_in s113 t e113)))
            false))

        % 164.514(f)(1): for fundraising, "(i) Demographic information ...;
        % (ii) Dates of health care provided ...; (iii) Department of service
        % information; (iv) Treating physician; (v) Outcome information; and
        % (vi) Health insurance status", "to a business associate or to an
        % institutionally related foundation".
        (<c164-514-f-1> and (purp_in m fundraising)
          (or (sub_attr a demographics) (attr_in a demographics) (sub_attr a treatment-date)
              (sub_attr a department-of-service) (sub_attr a treating-physician)
              (sub_attr a outcome-information) (sub_attr a insurance-status))
          (or (ex [ce15: string] [s15: date] [e15: date] (ba_agreement ce15 p2 s15 e15)
                (and (time_in s15 t e15) (or (eq_prin p1 ce15) (ex [k18: role] (acts_for p1 ce15 k18 t) true)
              (ex [sb18: date] [eb18: date] (ba_agreement ce15 p1 sb18 eb18) (time_in sb18 t eb18)))))
              (inrole p2 related-foundation t)))

        % 164.506(c)(5): "A covered entity that participates in an organized
        % health care arrangement may disclose protected health information
        % about an individual to other participants in the organized health
        % care arrangement for any health care operations activities of the
        % organized health care arrangement": the sender's entity and another
        % participant of the same arrangement at t (a hospital and its
        % independent medical staff, say), for the arrangement's operations
        % (purpose arrangement-operations).  The participants are covered
        % entities (164.501 "organized health care arrangement"); the
        % recipient's role is looked up before the arrangements.
        (<c164-506-c-5> and (purp_in m arrangement-operations)
          (or (inrole p2 Health-care-provider t) (inrole p2 covered-entity t) (inrole p2 health-plan t))
          (ex [o60: string] [s60: date] [e60: date] (ohca_participant o60 p2 s60 e60)
            (and (time_in s60 t e60)
                 (ex [ce61: string] [s61: date] [e61: date] (ohca_participant o60 ce61 s61 e61)
                   (and (time_in s61 t e61) (imp (eq_prin p2 ce61) false)
                        (or (eq_prin p1 ce61) (ex [k61: role] (acts_for p1 ce61 k61 t) true)
                            (ex [sb61: date] [eb61: date] (ba_agreement ce61 p1 sb61 eb61)
                              (time_in sb61 t eb61))))))))

        % 164.504(e)(4): the contract "may permit the business associate to
        % use the protected health information received by the business
        % associate in its capacity as a business associate to the covered
        % entity, if necessary: (A) For the proper management and administration of the
        % business associate; or (B) To carry out the legal responsibilities
        % of the business associate", and to disclose it for those purposes
        % if "(A) The disclosure is required by law; or (B)(1) The business
        % associate obtains reasonable assurances from the person to whom the
        % information is disclosed": the sender an associate under a contract
        % in force; the rest is for a person.
        (<c164-504-e-4> and (purp_in m associate-administration)
          (or (ex [ce101: string] [sb101: date] [eb101: date] (ba_agreement ce101 p1 sb101 eb101)
                (time_in sb101 t eb101))
              (ex [ce102: string] (acts_for p1 ce102 business-associate t) true))
          (<c164-504-e-4-subj> associate-administration-conditions p1 p2))

        % 164.502(a)(3), (a)(4)(ii), 164.504(e)(2): a business associate
        % returns to its covered entity what it holds on the entity's behalf.
        (<c164-502-a-3> ex [s32: date] [e32: date] (ba_agreement p2 p1 s32 e32) (time_in s32 t e32))

        % 160.103 "workforce": a workforce member (or an associate recorded
        % as acting for the entity) hands information to the entity itself.
        % 164.504(c)(2)(ii): a hybrid entity's health care component "may not
        % disclose protected health information to another component of the
        % covered entity in circumstances in which subpart E of this part
        % would prohibit such disclosure if the health care component and the
        % other component were separate and distinct legal entities": a
        % component that is no health care component receives as a third
        % party, never as the entity itself.
        (<c160-103-workforce> and (ex [k4: role] (acts_for p1 p2 k4 t) true)
          (<c164-504-c-2> imp (inrole p2 non-health-care-component t) false)))

      % 164.502(b), 164.514(d): minimum necessary, except "(i) Disclosures to
      % or requests by a health care provider for treatment; (ii) ... to the
      % individual" (or the personal representative, 164.502(g)(1), or the
      % person the individual designated, 164.524(c)(3)(ii));
      % "(iii) ... made pursuant to an authorization"; "(iv) Disclosures made
      % to the Secretary"; "(v) Uses or disclosures that are required by
      % law".  Routine disclosures follow the entity's protocol
      % (164.514(d)(3)(i)); any other was reviewed (164.514(d)(3)(ii)).
      % 164.514(d)(5): "a covered entity may not use, disclose or request an
      % entire medical record, except when the entire medical record is
      % specifically justified as the amount that is reasonably necessary to
      % accomplish the purpose".
      (<c164-502-b> or
        (and (purp_in m Treatment) (inrole p2 Health-care-provider t))
        (eq_prin p2 q)
        (<c164-514-d-3-i> or
          (ex [u17: purpose] (and (purp_in m u17) (protocol p1 u17 a))
            (<c164-514-d-5> imp (sub_attr a medical-record)
              (<c164-514-d-5-subj> entire-record-justified p1 m)))
          % The protocol of the entity the sender acts for.
          (ex [u36: purpose] [ce17: string]
            (and (purp_in m u36)
                 (or (ex [k19: role] (acts_for p1 ce17 k19 t))
                     (ex [sb19: date] [eb19: date] (and (ba_agreement ce17 p1 sb19 eb19) (time_in sb19 t eb19))))
                 (protocol ce17 u36 a))
            (<c164-514-d-5> imp (sub_attr a medical-record)
              (<c164-514-d-5-subj> entire-record-justified p1 m))))
        (purp_in m access-directive)
        (purp_in m required-by-law)
        (ex [s16: date] [e16: date] (personal_rep p2 q s16 e16) (time_in s16 t e16))
        (and (purp_in m compliance-investigation) (inrole p2 secretary-hhs t))
        (ex [ce16: string] [a16: attribute] [u16: purpose] [s26: date] [e26: date]
          (and (authorization q ce16 p2 a16 u16 s26 e26) (time_in s26 t e26))
          (and (or (sub_attr a a16) (attr_in a a16)) (purp_in m u16) (or (eq_prin p1 ce16) (ex [k20: role] (acts_for p1 ce16 k20 t) true)
              (ex [sb20: date] [eb20: date] (ba_agreement ce16 p1 sb20 eb20) (time_in sb20 t eb20)))))
        % A business associate's return to its covered entity, a workforce
        % member's hand-over to it.
        (ex [k16: role] (acts_for p1 p2 k16 t) true)
        (ex [s35: date] [e35: date] (ba_agreement p2 p1 s35 e35) (time_in s35 t e35))
        (and (<c164-514-d-3-ii-subj> minimum-necessary-reviewed p1 p2 m)
             (<c164-514-d-5> imp (sub_attr a medical-record)
               (<c164-514-d-5-subj> entire-record-justified p1 m))))

      % 164.508(a)(2): "a covered entity must obtain an authorization for any
      % use or disclosure of psychotherapy notes, except: (i) To carry out
      % the following treatment, payment, or health care operations: ...
      % (B) Use or disclosure by the covered entity for its own training
      % programs ...; or (C) Use or disclosure by the covered entity to defend
      % itself in a legal action or other proceeding brought by the
      % individual; and (ii) A use or disclosure that is required by
      % 164.502(a)(2)(ii) or permitted by 164.512(a); 164.512(d) with respect
      % to the oversight of the originator of the psychotherapy notes;
      % 164.512(g)(1); or 164.512(j)(1)(i)."
      (<c164-508-a-2> imp (sub_attr a psychotherapy-notes)
        (or (ex [ce18: string] [a18: attribute] [u18: purpose] [s18: date] [e18: date]
              (and (authorization q ce18 p2 a18 u18 s18 e18) (time_in s18 t e18))
              (and (or (sub_attr a a18) (attr_in a a18)) (purp_in m u18)
                   (imp (ex [x18: authorization-defect] (authorization_defect q ce18 p2 u18 s18 x18)) false)
                   (or (eq_prin p1 ce18) (ex [k21: role] (acts_for p1 ce18 k21 t) true)
              (ex [sb21: date] [eb21: date] (ba_agreement ce18 p1 sb21 eb21) (time_in sb21 t eb21)))))
            (<c164-508-a-2-i-B> purp_in m supervised-training)
            (<c164-508-a-2-i-C> and (purp_in m defend-legal-action)
              (<c164-508-a-2-i-C-subj> action-brought-by-individual p1 q))
            (and (purp_in m compliance-investigation) (inrole p2 secretary-hhs t))
            (purp_in m required-by-law)
            (and (purp_in m judicial-proceeding) (<c164-508-a-2-ii-subj> court-order-covers p2 m))
            (and (purp_in m health-oversight) (<c164-508-a-2-ii-oversight-subj> oversight-of-originator p2 m))
            (and (purp_in m decedent-identification) (or (inrole p2 coroner t) (inrole p2 medical-examiner t)))
            (purp_in m serious-threat-prevention)))

      % 164.502(a)(5)(i): "a health plan, excluding an issuer of a long-term
      % care policy ..., shall not use or disclose protected health
      % information that is genetic information for underwriting purposes."
      (<c164-502-a-5-i> imp (and (sub_attr a genetic-information) (inrole p1 health-plan t)
                                 (purp_in m underwriting))
        false)

      % 164.508(a)(3)(i): "a covered entity must obtain an authorization for
      % any use or disclosure of protected health information for marketing,
      % except if the communication is in the form of: (A) A face-to-face
      % communication made by a covered entity to an individual; or (B) A
      % promotional gift of nominal value provided by the covered entity."
      (<c164-508-a-3> imp (purp_in m marketing)
        (or (ex [ce19: string] [a19: attribute] [s19: date] [e19: date]
              (and (authorization q ce19 p2 a19 marketing s19 e19) (time_in s19 t e19))
              (and (or (sub_attr a a19) (attr_in a a19))
                   (imp (ex [x19: authorization-defect] (authorization_defect q ce19 p2 marketing s19 x19)) false)
                   (or (eq_prin p1 ce19) (ex [k22: role] (acts_for p1 ce19 k22 t) true)
              (ex [sb22: date] [eb22: date] (ba_agreement ce19 p1 sb22 eb22) (time_in sb22 t eb22)))))
            (<c164-508-a-3-i> and (eq_prin p2 q)
              (<c164-508-a-3-i-subj> face-to-face-or-nominal-gift p1 q))))

      % 164.508(a)(4), 164.502(a)(5)(ii): a sale of PHI needs an authorisation.
      % 164.502(a)(5)(ii)(B)(2): "Sale of protected health information does
      % not include a disclosure of protected health information: (i) For
      % public health purposes pursuant to 164.512(b) or 164.514(e); (ii) For
      % research purposes pursuant to 164.512(i) or 164.514(e), where the
      % only remuneration received ... is a reasonable cost-based fee ...;
      % (iii) For treatment and payment purposes pursuant to 164.506(a);
      % (iv) For the sale, transfer, merger, or consolidation of all or part
      % of the covered entity ...; (vi) To an individual, when requested under
      % 164.524 or 164.528; (vii) Required by law as permitted under
      % 164.512(a); and (viii) For any other purpose permitted by and in
      % accordance with the applicable requirements of this subpart, where
      % the only remuneration received ... is a reasonable, cost-based fee
      % ...".
      % A message is recorded for sale-of-phi when the entity receives more
      % than a reasonable cost-based fee for it, so (ii) and (viii) never
      % apply to it; its other purposes decide (i), (iii), (iv), (vi) and
      % (vii), and another clause must still permit the disclosure.
      (<c164-508-a-4> imp (purp_in m sale-of-phi)
        (or (ex [ce20: string] [a20: attribute] [s20: date] [e20: date]
              (and (authorization q ce20 p2 a20 sale-of-phi s20 e20) (time_in s20 t e20))
              (and (or (sub_attr a a20) (attr_in a a20))
                   (imp (ex [x20: authorization-defect] (authorization_defect q ce20 p2 sale-of-phi s20 x20)) false)
                   (or (eq_prin p1 ce20) (ex [k23: role] (acts_for p1 ce20 k23 t) true)
                  (ex [sb23: date] [eb23: date] (ba_agreement ce20 p1 sb23 eb23) (time_in sb23 t eb23)))))
            (or (purp_in m public-health) (purp_in m Treatment) (purp_in m Payment)
                (purp_in m business-transfer) (purp_in m required-by-law)
                (and (eq_prin p2 q) (or (purp_in m individual-access) (purp_in m accounting-of-disclosures))))))

      % 164.512(f): a disclosure for law enforcement goes to a law enforcement
      % official.
      (<c164-512-f> imp (purp_in m law-enforcement) (inrole p2 law-enforcement-official t))

      % 164.522(a)(1)(ii): "A covered entity that agrees to a restriction
      % ... may not use or disclose protected health information in violation
      % of such restriction, except that, if the individual who requested the
      % restriction is in need of emergency treatment and the restricted
      % protected health information is needed to provide the emergency
      % treatment, the covered entity may use the restricted protected health
      % information, or may disclose such information to a health care
      % provider, to provide such treatment"; (a)(1)(v): a restriction does
      % not prevent disclosures to the Secretary, for the facility directory
      % or under 164.512.
      % 164.522(a)(1)(i): a restriction reaches "(A) Uses or disclosures of
      % protected health information about the individual to carry out
      % treatment, payment, or health care operations; and (B) Disclosures
      % permitted under 164.510(b)", not a disclosure to the individual or
      % one the individual authorised.
      (<c164-522-a-1-ii> imp (and (ex [ce22: string] [a22: attribute] [s22: date] [e22: date]
                                    (and (restriction q ce22 a22 s22 e22) (time_in s22 t e22)
                                         (or (sub_attr a a22) (attr_in a a22))
                                         (or (eq_prin p1 ce22) (ex [k24: role] (acts_for p1 ce22 k24 t))
              (ex [sb24: date] [eb24: date] (and (ba_agreement ce22 p1 sb24 eb24) (time_in sb24 t eb24))))))
                                  (or (purp_in m Treatment) (purp_in m Payment) (purp_in m Healthcare-op)
                                      (purp_in m supervised-training) (purp_in m defend-legal-action)
                                      (purp_in m fraud-abuse-detection) (purp_in m arrangement-operations)
                                      (purp_in m care-involvement) (purp_in m notification)
                                      (purp_in m disaster-relief)))
        (or (<c164-522-a-1-iii> and (purp_in m Treatment) (inrole p2 Health-care-provider t)
              (<c164-522-a-1-iii-subj> emergency-treatment-needs-restricted-info p1 q))
            (<c164-522-a-1-v> or (purp_in m compliance-investigation) (purp_in m facility-directory)
              (purp_in m required-by-law) (purp_in m public-health) (purp_in m child-abuse-report)
              (purp_in m abuse-neglect-report) (purp_in m health-oversight)
              (purp_in m judicial-proceeding) (purp_in m law-enforcement)
              (purp_in m law-enforcement-court-order) (purp_in m crime-victim-information)
              (purp_in m decedent-identification) (purp_in m organ-donation)
              (purp_in m research) (purp_in m serious-threat-prevention)
              (purp_in m workers-compensation) (purp_in m fda-reporting)
              (purp_in m communicable-disease-notification) (purp_in m workplace-surveillance)
              (purp_in m school-immunization) (purp_in m funeral-arrangements)
              (purp_in m research-preparatory) (purp_in m apprehension-of-individual)
              (purp_in m military-mission) (purp_in m national-security)
              (purp_in m protective-services) (purp_in m correctional-custody))))

      % 164.522(a)(1)(vi): "A covered entity must agree to the request of an
      % individual to restrict disclosure of protected health information
      % about the individual to a health plan if: (A) The disclosure is for
      % the purpose of carrying out payment or health care operations and is
      % not otherwise required by law; and (B) The protected health
      % information pertains solely to a health care item or service for
      % which the individual ... has paid the covered entity in full."  Also
      % when the entity's clearinghouse or billing agent sends the claim.
      % The request, kept for few individuals, is looked up first.
      (<c164-522-a-1-vi> imp (and (ex [ce23: string] [a23: attribute] [s23: date]
                                    (and (self_pay_restriction q ce23 a23 s23) (lessthan s23 t)
                                         (or (sub_attr a a23) (attr_in a a23))
                                         (or (eq_prin p1 ce23) (ex [k25: role] (acts_for p1 ce23 k25 t))
              (ex [sb25: date] [eb25: date] (and (ba_agreement ce23 p1 sb25 eb25) (time_in sb25 t eb25))))))
                                  (or (purp_in m Payment) (purp_in m Healthcare-op)) (inrole p2 health-plan t))
        (purp_in m required-by-law))

      % 164.514(f)(2)(i): "A covered entity may not use or disclose protected
      % health information for fundraising purposes as otherwise permitted by
      % paragraph (f)(1) of this section unless a statement required by
      % 164.520(b)(1)(iii)(A) is included in the covered entity's notice of
      % privacy practices": the notice of the entity that discloses (or that
      % the sender acts for) carries it at t.  A related foundation's own
      % letters rest on the entity's disclosure to it.
      (<c164-514-f-2-i> imp (purp_in m fundraising)
        (or (inrole p1 related-foundation t)
            (ex [ce72: string] [s72: date] (notice_statement ce72 fundraising s72)
              (and (lessthan s72 t)
                   (or (eq_prin p1 ce72) (ex [k72: role] (acts_for p1 ce72 k72 t) true)
                       (ex [sb72: date] [eb72: date] (ba_agreement ce72 p1 sb72 eb72)
                         (time_in sb72 t eb72)))))))

      % 164.514(f)(2)(iv): "A covered entity may not make fundraising
      % communications to an individual under this paragraph where the
      % individual has elected not to receive such communications": whoever
      % sends them, the entity or its foundation, and to whomever the
      % information goes for that purpose.
      (<c164-514-f-2-iv> imp (and (purp_in m fundraising)
                                  (ex [x28: string] [s28: date] (and (fundraising_opt_out q x28 s28) (lessthan s28 t))))
        false)

      % 164.502(a)(3): "A business associate may use or disclose protected
      % health information only as permitted or required by its business
      % associate contract or other arrangement pursuant to 164.504(e) or as
      % required by law."  Where the contract of a sender that is a business
      % associate records the purposes it permits (ba_agreement_purpose),
      % the disclosure is for one of them, its own administration
      % (164.504(e)(4)), required by law, or a return to the entity.  A
      % contract that records none is read as permitting what the entity may
      % do itself, the most 164.504(e)(2)(i) lets it permit.
      (<c164-502-a-3-scope> all [ce103: string] [u104: purpose] (ba_agreement_purpose ce103 p1 u104)
        (imp (ex [s103: date] [e103: date] (and (ba_agreement ce103 p1 s103 e103) (time_in s103 t e103)))
          (or (eq_prin p2 ce103) (purp_in m required-by-law) (purp_in m associate-administration)
              (ex [u103: purpose] (ba_agreement_purpose ce103 p1 u103) (purp_in m u103)))))


      % 164.514(g): "If a health plan receives protected health information
      % for the purpose of underwriting, premium rating, or other activities
      % relating to the creation, renewal, or replacement of a contract of
      % health insurance or health benefits, and if such health insurance or
      % health benefits are not placed with the health plan, such health plan
      % may only use or disclose such protected health information for such
      % purpose or as may be required by law", while the individual is no
      % member of the plan.
      (<c164-514-g> all [hp108: string] [s108: date] (coverage_not_placed hp108 q s108)
        (imp (and (lessthan s108 t) (or (eq_prin p1 hp108) (ex [k108: role] (acts_for p1 hp108 k108 t))))
          (or (purp_in m underwriting) (purp_in m required-by-law)
              (ex [s109: date] (relationship q hp108 s109) (lessthan s109 t)))))

      % 164.502(i): a covered entity that must have a notice "may not use or
      % disclose protected health information in a manner inconsistent with
      % such notice": a notice that describes "more limited uses or
      % disclosures" (164.520(b)(2)(i)) binds the entity, except that it
      % "may not include in its notice a limitation affecting its right to
      % make a use or disclosure that is required by law or permitted by
      % 164.512(j)(1)(i)" (a serious and imminent threat).
      % The purposes of the message come first, so that only the notices
      % that limit one of them are read.
      (<c164-502-i> all [ce111: string] [u111: purpose] [s111: date]
          (and (purp_in m u111) (notice_limitation ce111 u111 s111))
        (imp (and (lessthan s111 t)
                  (or (eq_prin p1 ce111) (ex [k111: role] (acts_for p1 ce111 k111 t))
                      (ex [sb111: date] [eb111: date]
                        (and (ba_agreement ce111 p1 sb111 eb111) (time_in sb111 t eb111)))))
          (or (purp_in m required-by-law) (purp_in m serious-threat-prevention))))

      % 164.502(i): "A covered entity that is required by 164.520(b)(1)(iii)
      % to include a specific statement in its notice if it intends to
      % engage in an activity listed in 164.520(b)(1)(iii)(A)-(C), may not
      % use or disclose protected health information for such activities,
      % unless the required statement is included in the notice."
      % 164.520(b)(1)(iii)(C): "If a covered entity that is a health plan,
      % excluding an issuer of a long-term care policy ..., intends to use or
      % disclose protected health information for underwriting purposes, a
      % statement that the covered entity is prohibited from using or
      % disclosing protected health information that is genetic information
      % of an individual for such purposes."  A plan's disclosure for
      % underwriting, its own or made for it by a member of its workforce or
      % its business associate, needs that statement in the plan's notice
      % (notice_statement for underwriting) at t.  A long-term care issuer is
      % recorded as long-term-care-issuer, not as a health plan.  The purpose
      % is tested first: few disclosures are made for underwriting.
      (<c164-520-b-1-iii-C> imp (purp_in m underwriting)
        (and (imp (inrole p1 health-plan t)
               (ex [s120: date] (notice_statement p1 underwriting s120) (lessthan s120 t)))
             (all [hp121: string] [k121: role] (acts_for p1 hp121 k121 t)
               (imp (inrole hp121 health-plan t)
                 (ex [s121: date] (notice_statement hp121 underwriting s121) (lessthan s121 t))))
             (all [hp122: string] [sb122: date] [eb122: date] (ba_agreement hp122 p1 sb122 eb122)
               (imp (and (time_in sb122 t eb122) (inrole hp122 health-plan t))
                 (ex [s122: date] (notice_statement hp122 underwriting s122) (lessthan s122 t)))))))


    % 164.502(f): "A covered entity must comply with the requirements of
    % this subpart with respect to the protected health information of a
    % deceased individual for a period of 50 years following the death";
    % afterwards the information is not protected health information
    % (160.103): "deceased for more than 50 years", counted in calendar
    % years from the moment of death.
    (<c164-502-f> ex [d6: date] [e6: date] (and (deceased q d6) (calendar_span d6 years-50 e6))
      (time_in e6 t t))))

% 164.524(b)(2): "(i) ... must act on a request for access no later than 30
% days after receipt of the request as follows. (A) If the covered entity
% grants the request ..., it must inform the individual of the acceptance of
% the request and provide the access requested ... (B) If the covered entity
% denies the request ..., it must provide the individual with a written
% denial" (164.524(d)(2)), on the grounds of (a)(2) or (a)(3).  "(ii) ... the
% covered entity may extend the time for such actions by no more than 30
% days, provided that: (A) The covered entity, within the time limit set by
% paragraph (b)(2)(i) ..., provides the individual with a written statement
% of the reasons for the delay and the date by which the covered entity will
% complete its action on the request; and (B) The covered entity may have
% only one such extension".  Days are calendar days in the entity's zone,
% counted from the day of receipt: an answer any time on the 30th day is in
% time (table calendar_span).  The answer may come from a workforce member
% or business associate acting for the entity (164.502(a)(4)(ii)), and may
% go to the personal representative (164.502(g)) or, by the individual's
% direction, to the designee (164.524(c)(3)(ii)).
(<c164-524-b-2> all [q21: string] [ce: string] [r21: date]
  (access_request q21 ce r21)
  (ex [d30: date] [d60: date] (and (calendar_span r21 days-30 d30) (calendar_span r21 days-60 d60))
  (or (<c164-524-b-2-i> ex [y21: string] [x21: string] [m21: string] [t21: date]
        (and (or (eq_prin q21 y21) (ex [sr40: date] [er40: date] (personal_rep y21 q21 sr40 er40))
                     (ex [sd40: date] (access_directive q21 y21 sd40)))
             (disclose x21 y21 m21 t21) (time_in r21 t21 d30))
        (and (or (eq_prin x21 ce) (ex [k41: role] (acts_for x21 ce k41 t21) true)
                 (ex [sb41: date] [eb41: date] (ba_agreement ce x21 sb41 eb41) (time_in sb41 t21 eb41)))
          (or (purp_in m21 individual-access) (purp_in m21 access-directive)
              (and (purp_in m21 access-denial)
                   (or (<c164-524-a-2-subj> unreviewable-denial-ground ce q21)
                       (<c164-524-a-3-subj> reviewable-denial-ground ce q21))
                   (<c164-524-d-1-subj> denial-covers-all-requested ce q21)))))
      (<c164-524-b-2-ii> ex [y22: string] [x22: string] [m22: string] [t22: date]
        (and (or (eq_prin q21 y22) (ex [sr42: date] [er42: date] (personal_rep y22 q21 sr42 er42))
                     (ex [sd42: date] (access_directive q21 y22 sd42)))
             (disclose x22 y22 m22 t22) (time_in r21 t22 d30))
        (and (or (eq_prin x22 ce) (ex [k43: role] (acts_for x22 ce k43 t22) true)
                 (ex [sb43: date] [eb43: date] (ba_agreement ce x22 sb43 eb43) (time_in sb43 t22 eb43)))
             (purp_in m22 access-extension-notice)
             (or (ex [y23: string] [x23: string] [m23: string] [t23: date]
                   (and (or (eq_prin q21 y23) (ex [sr44: date] [er44: date] (personal_rep y23 q21 sr44 er44))
                     (ex [sd44: date] (access_directive q21 y23 sd44)))
                        (disclose x23 y23 m23 t23) (time_in r21 t23 d60))
                   (and (or (eq_prin x23 ce) (ex [k45: role] (acts_for x23 ce k45 t23) true)
                 (ex [sb45: date] [eb45: date] (ba_agreement ce x23 sb45 eb45) (time_in sb45 t23 eb45)))
                     (or (purp_in m23 individual-access) (purp_in m23 access-directive)
                         (and (purp_in m23 access-denial)
                              (or (<c164-524-a-2-subj> unreviewable-denial-ground ce q21)
                                  (<c164-524-a-3-subj> reviewable-denial-ground ce q21))
                              (<c164-524-d-1-subj> denial-covers-all-requested ce q21)))))
                 (ex [e23: date] (and (audit_end e23) (time_in e23 d60 d60))
                   (<c164-524-b-2-ii-wait> ex [m24: string] [t24: date]
                     (and (disclose-eval ce q21 m24 t24) (time_in r21 t24 d60))
                     (or (purp_in m24 individual-access) (purp_in m24 access-denial)))))))
      (ex [e21: date] (and (audit_end e21) (time_in e21 d30 d30))
        (<c164-524-b-2-wait> ex [m25: string] [t25: date]
          (and (disclose-eval ce q21 m25 t25) (time_in r21 t25 d30))
          (or (purp_in m25 individual-access) (purp_in m25 access-denial)
              (purp_in m25 access-extension-notice)))))))

% 164.528(c)(1): "The covered entity must act on the individual's request for
% an accounting, no later than 60 days after receipt of such a request, as
% follows. (i) The covered entity must provide the individual with the
% accounting requested; or (ii) If the covered entity is unable to provide
% the accounting within the time required ..., the covered entity may extend
% the time to provide the accounting by no more than 30 days, provided that:
% (A) The covered entity, within the time limit set by paragraph (c)(1) ...,
% provides the individual with a written statement of the reasons for the
% delay and the date by which the covered entity will provide the accounting;
% and (B) The covered entity may have only one such extension".  Counted
% in calendar days and answered as for 164.524 above.
(<c164-528-c-1> all [q26: string] [ce26: string] [r26: date]
  (accounting_request q26 ce26 r26)
  (ex [d60a: date] [d90: date] (and (calendar_span r26 days-60 d60a) (calendar_span r26 days-90 d90))
  (or (<c164-528-c-1-i> ex [y26: string] [x26: string] [m26: string] [t26: date]
        (and (or (eq_prin q26 y26) (ex [sr46: date] [er46: date] (personal_rep y26 q26 sr46 er46))
                     (ex [sd46: date] (access_directive q26 y26 sd46)))
             (disclose x26 y26 m26 t26) (time_in r26 t26 d60a))
        (and (or (eq_prin x26 ce26) (ex [k47: role] (acts_for x26 ce26 k47 t26) true)
                 (ex [sb47: date] [eb47: date] (ba_agreement ce26 x26 sb47 eb47) (time_in sb47 t26 eb47)))
             (purp_in m26 accounting-of-disclosures)))
      (<c164-528-c-1-ii> ex [y27: string] [x27: string] [m27: string] [t27: date]
        (and (or (eq_prin q26 y27) (ex [sr48: date] [er48: date] (personal_rep y27 q26 sr48 er48))
                     (ex [sd48: date] (access_directive q26 y27 sd48)))
             (disclose x27 y27 m27 t27) (time_in r26 t27 d60a))
        (and (or (eq_prin x27 ce26) (ex [k49: role] (acts_for x27 ce26 k49 t27) true)
                 (ex [sb49: date] [eb49: date] (ba_agreement ce26 x27 sb49 eb49) (time_in sb49 t27 eb49)))
             (purp_in m27 accounting-extension-notice)
             (or (ex [y28: string] [x28b: string] [m28: string] [t28: date]
                   (and (or (eq_prin q26 y28) (ex [sr50: date] [er50: date] (personal_rep y28 q26 sr50 er50))
                     (ex [sd50: date] (access_directive q26 y28 sd50)))
                        (disclose x28b y28 m28 t28) (time_in r26 t28 d90))
                   (and (or (eq_prin x28b ce26) (ex [k51: role] (acts_for x28b ce26 k51 t28) true)
                 (ex [sb51: date] [eb51: date] (ba_agreement ce26 x28b sb51 eb51) (time_in sb51 t28 eb51)))
                        (purp_in m28 accounting-of-disclosures)))
                 (ex [e28: date] (and (audit_end e28) (time_in e28 d90 d90))
                   (<c164-528-c-1-ii-wait> ex [m29: string] [t29: date]
                     (and (disclose-eval ce26 q26 m29 t29) (time_in r26 t29 d90))
                     (purp_in m29 accounting-of-disclosures))))))
      (ex [e27: date] (and (audit_end e27) (time_in e27 d60a d60a))
        (<c164-528-c-1-wait> ex [m30: string] [t30: date]
          (and (disclose-eval ce26 q26 m30 t30) (time_in r26 t30 d60a))
          (or (purp_in m30 accounting-of-disclosures) (purp_in m30 accounting-extension-notice)))))))

% 164.524(a)(4), (d)(4): "If access is denied on a ground permitted under
% paragraph (a)(3) of this section, the individual has the right to have the
% denial reviewed by a licensed health care professional who is designated by
% the covered entity to act as a reviewing official and who did not
% participate in the original decision to deny."  (d)(4): "The designated
% reviewing official must determine, within a reasonable period of time,
% whether or not to deny the access requested ... The covered entity must
% promptly provide written notice to the individual of the determination of
% the designated reviewing official".  The notice (purpose
% access-review-determination), or the access itself, reaches the individual
% or the representative within t_reasonable (30) days of the request for
% review; after that it is overdue against audit_end.  That the reviewer was
% independent is for a person.
% The reviewing official's own determination (164.524(d)(4)) and the
% partial grant of 164.524(d)(1) (a denial alone leaves to a person whether
% the grounds covered all that was asked) complete the right of access.
(<c164-524-d-4> all [q90: string] [ce90: string] [r90: date]
  (access_review_request q90 ce90 r90)
  (or (ex [y90: string] [x90: string] [m90: string] [t90: date]
        (and (or (eq_prin q90 y90) (ex [sr90: date] [er90: date] (personal_rep y90 q90 sr90 er90)))
             (disclose x90 y90 m90 t90) (time_in r90 t90 (plus r90 t_reasonable)))
        (and (or (eq_prin x90 ce90) (ex [k90: role] (acts_for x90 ce90 k90 t90) true)
                 (ex [sb90: date] [eb90: date] (ba_agreement ce90 x90 sb90 eb90) (time_in sb90 t90 eb90)))
             (or (purp_in m90 access-review-determination) (purp_in m90 individual-access))
             (<c164-524-d-4-subj> independent-reviewing-official ce90 q90)))
      (ex [e90: date] (and (audit_end e90) (time_in e90 (plus r90 t_reasonable) (plus r90 t_reasonable)))
        (<c164-524-d-4-wait> ex [m91: string] [t91: date]
          (and (disclose-eval ce90 q90 m91 t91) (time_in r90 t91 (plus r90 t_reasonable)))
          (or (purp_in m91 access-review-determination) (purp_in m91 individual-access)))))))
